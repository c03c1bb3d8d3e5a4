// Drives the plugin through its four exports against the fake host, with the range, the
// labels, the host's and the undecorator's answers and the call sequence all chosen by
// the fuzzer, and checks after every step what must hold whatever the input.
#include <fuzzer/FuzzedDataProvider.h>

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
#include "fuzz/grammar_label.h"
#include "host/plugin_exports.h"
#include "tests/fake_host.h"
#include "tests/plugin_texts.h"

namespace {

constexpr Address MaxRange = 4096;  // keeps one input fast

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

std::string LabelText(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 4:
            return GrammarLabel(in);
        case 0:
            return "00:?";
        case 1:
            return "00:" + in.ConsumeRandomLengthString(16);
        case 2:
            return std::string(256, static_cast<char>(in.ConsumeIntegral<char>()));
        default:
            return in.ConsumeRandomLengthString(256);
    }
}

void PlaceLabels(FuzzedDataProvider& in) {
    Host().base = in.ConsumeBool() ? 0 : in.ConsumeIntegral<Address>();
    Host().size = in.ConsumeIntegralInRange<Address>(0, MaxRange);
    Host().labels.clear();
    const int count = in.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < count; ++i) {
        const Address offset = in.ConsumeIntegralInRange<Address>(0, Host().size + 8);
        Host().labels[Host().base + offset - 4] = LabelText(in);  // a few fall outside
    }
    // Now and then the host misbehaves at a label: a yes without a name; and mostly, a label
    // that fills the buffer comes without a NUL.
    Host().silentReads.clear();
    Host().unterminatedReads.clear();
    for (const auto& [address, label] : Host().labels) {
        const int misbehaviour = in.ConsumeIntegralInRange(0, 7);
        if (misbehaviour == 0) Host().silentReads.insert(address);
        if (misbehaviour != 1 && label.size() >= TextBufferSize) {
            Host().unterminatedReads.insert(address);
        }
    }
}

// Addresses undecorated during the current pass, and those where the undecorator refused.
std::set<Address> UndecoratedAt;
std::set<Address> RefusedAt;

void ScriptUndecorator(FuzzedDataProvider& in) {
    const int mode = in.ConsumeIntegralInRange(0, 3);
    const std::string output = in.ConsumeRandomLengthString(256);
    const unsigned long result = in.ConsumeIntegral<unsigned long>() | 1;
    Host().undecorate = [mode, output, result](const std::string& name, unsigned long flags) {
        const bool refuse = mode == 0 || (mode == 3 && name.size() % 2 == 1);
        if (refuse) return UndecorateAnswer{0, output};
        if (mode == 1) return UndecorateAnswer{result, output};
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
    FuzzedDataProvider in(data, size);
    Reset();
    std::map<std::string, bool> shadow = {
        {"COMPLETE", false}, {"NAME_ONLY", true}, {"REMOVE_EMPTY", true}};
    static char menu[4096];

    for (int step = 0; step < 12 && in.remaining_bytes() > 0; ++step) {
        const std::size_t logged = Host().log.size();
        const std::size_t noticed = Host().notices.size();
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                PlaceLabels(in);
                break;
            case 1:
                ScriptUndecorator(in);
                break;
            case 2: {
                char name[32];
                std::memset(name, '#', sizeof name);
                Require(_ODBG_Plugindata(name) == 110, "data returns 110");
                Require(std::memcmp(name, "Sorvindel\0#", 11) == 0, "data writes 10 bytes");
                break;
            }
            case 3: {
                const int version = in.ConsumeIntegral<int>();
                const int result = _ODBG_Plugininit(version, nullptr);
                Require(result == (version < 110 ? -1 : 0), "init result");
                Require(Host().log.size() - logged == (version < 110 ? 0u : 2u), "init logs");
                break;
            }
            case 4: {
                const int origin = in.ConsumeIntegral<int>();
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
            default: {
                const int origin = in.ConsumeIntegral<int>();
                const int action =
                    in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 7) : in.ConsumeIntegral<int>();
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
                _ODBG_Pluginaction(origin, action);
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
