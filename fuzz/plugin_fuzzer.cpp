// Drives the plugin through its four exports against the fake host, with the range, the
// labels, the host's and the undecorator's answers and the call sequence all chosen by
// the fuzzer, and checks after every step what must hold whatever the input.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "core/grammar_reader.h"
#include "core/name_reader.h"
#include "core/option_table.h"
#include "host/plugin_exports.h"
#include "names/fuzz_input.h"
#include "tests/fake_host.h"
#include "tests/plugin_texts.h"

namespace {

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void Place(const Placement& placement) {
    Host().base = placement.base;
    Host().size = placement.size;
    Host().labels = {placement.labels.begin(), placement.labels.end()};
    Host().silentReads = placement.silentReads;
    Host().unterminatedReads = placement.unterminatedReads;
}

// Addresses undecorated during the current pass, and those where the undecorator refused.
std::set<Address> UndecoratedAt;
std::set<Address> RefusedAt;

void ScriptUndecorator(const UndecoratorScript& script) {
    Host().undecorate = [script](const std::string& name, unsigned long flags) {
        const bool refuse = script.mode == 0 || (script.mode == 3 && name.size() % 2 == 1);
        if (refuse) return UndecorateAnswer{0, script.output};
        if (script.mode == 1) return UndecorateAnswer{script.result, script.output};
        return Tagged(name, flags);
    };
}

// A label as ReadName hands it over: text up to its first NUL, at most 255 bytes.
std::string AsRead(const std::string& label) {
    return label.substr(0, std::min<std::size_t>(strnlen(label.c_str(), label.size()), 255));
}

void CheckPass(const std::map<Address, std::string>& before, bool removeEmpty, bool nameOnly) {
    Require(Host().reads.size() == (Host().base == 0 ? 0 : Host().size),
            "one ReadName per address");
    for (const UndecorateRecord& call : Host().undecorations) {
        Require(call.capacity == 256, "undecorator capacity 256");
        Require(IsSafeToUndecorate(call.name), "no name the reader keeps back is sent");
        Require(call.flags == (nameOnly ? UndecorateNameOnly : UndecorateComplete),
                "flags follow NAME_ONLY");
        Require(call.name.size() <= 255, "undecorator name within the label buffer");
    }
    for (const Address address : UndecoratedAt) {
        Require(before.count(address) != 0, "no undecorator call without a label");
    }
    for (const WriteRecord& write : Host().writes) {
        Require(before.count(write.address) != 0, "no write without a label");
        Require(write.nameType == 49, "writes are labels");
        Require(write.text.size() <= 255, "written text fits the host's buffer");
        Require(write.address - Host().base < Host().size, "writes stay in the range");
    }
    Require(Host().nulsAfterEveryName, "NULs follow every name the undecorator gets");
    for (const auto& [address, label] : before) {
        const std::string name = AsRead(label);
        Require(ReadDecoratedName(name).steps <= StepsPerByte * (name.size() + 1),
                "the reader's steps are bounded per byte");
        if (!grammar::MayHoldHazard(name)) {
            for (const grammar::Traits dialect : grammar::Dialects) {
                Require(grammar::Reader(name, dialect).ReadSymbol() == Hazard::None,
                        "the quick look passes no name a reading finds a hazard in");
            }
        }
        const auto after = Host().labels.find(address);
        if (after == Host().labels.end()) {
            Require(AsRead(label) == "00:?" && removeEmpty, "only placeholders are deleted");
        }
        if (RefusedAt.count(address) != 0) {
            Require(after != Host().labels.end() && after->second == label,
                    "a refused label stays byte-identical");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reset();
    std::map<std::string, bool> shadow = {
        {"COMPLETE", false}, {"NAME_ONLY", true}, {"REMOVE_EMPTY", true}};
    static char menu[4096];

    for (const FuzzStep& step : ReadFuzzInput(data, size)) {
        const std::size_t logged = Host().log.size();
        const std::size_t noticed = Host().notices.size();
        switch (step.kind) {
            case FuzzStep::Kind::Place:
                Place(step.placement);
                break;
            case FuzzStep::Kind::Script:
                ScriptUndecorator(step.script);
                break;
            case FuzzStep::Kind::Data: {
                char name[32];
                std::memset(name, '#', sizeof name);
                Require(_ODBG_Plugindata(name) == 110, "data returns 110");
                Require(std::memcmp(name, "Sorvindel\0#", 11) == 0, "data writes 10 bytes");
                break;
            }
            case FuzzStep::Kind::Init: {
                const int version = step.number;
                const int result = _ODBG_Plugininit(version, nullptr);
                Require(result == (version < 110 ? -1 : 0), "init result");
                Require(Host().log.size() - logged == (version < 110 ? 0u : 2u), "init logs");
                break;
            }
            case FuzzStep::Kind::Menu: {
                const int origin = step.number;
                std::memset(menu, '#', sizeof menu);
                const int result = _ODBG_Pluginmenu(origin, menu);
                if (origin != 0) {
                    Require(result == 0 && menu[0] == '#' && menu[63] == '#', "no menu, no write");
                } else {
                    Require(result == 1 && std::strcmp(menu, MenuText) == 0,
                            "the menu text never changes");
                }
                break;
            }
            case FuzzStep::Kind::Action: {
                const int action = step.action;
                const std::map<Address, std::string> before = Host().labels;
                Host().reads.clear();
                Host().writes.clear();
                Host().undecorations.clear();
                UndecoratedAt.clear();
                RefusedAt.clear();
                const auto script = Host().undecorate;
                Host().undecorate = [&script](const std::string& name, unsigned long flags) {
                    const UndecorateAnswer answer = script(name, flags);
                    UndecoratedAt.insert(Host().reads.back());
                    if (answer.result == 0) RefusedAt.insert(Host().reads.back());
                    return answer;
                };
                _ODBG_Pluginaction(step.number, action);
                Host().undecorate = script;
                if (action == 1) CheckPass(before, shadow["REMOVE_EMPTY"], shadow["NAME_ONLY"]);
                if (action != 1) Require(Host().reads.empty(), "only action 1 reads labels");
                if (action >= 3 && action <= 5) {
                    auto entry = std::next(shadow.begin(), action - 3);
                    entry->second = !entry->second;
                    Require(Host().notices.size() == noticed + 1 &&
                                Host().notices.back() ==
                                    entry->first + (entry->second ? " = True" : " = False"),
                            "one notice per flip");
                } else {
                    Require(Host().notices.size() == noticed, "no notice without a flip");
                }
                break;
            }
        }
        Require(Options().size() == 3, "no option appears");
        for (const auto& [name, flag] : shadow)
            Require(Lookup(name) == flag, "values follow flips");
    }
    return 0;
}
