// The fake host's five services and undecorator, bound by the linker.
#include "tests/fake_host.h"

#include <algorithm>
#include <cstring>

#include "core/option_table.h"

namespace {
FakeHost TheHost;
}  // namespace

FakeHost& Host() {
    return TheHost;
}

void Reset() {
    TheHost = FakeHost{};
    TheHost.undecorate = Tagged;
    Options() = InitialOptions();
}

// Answers with the output's length, as the real undecorator does.
UndecorateAnswer Tagged(const std::string& name, unsigned long flags) {
    const std::string output = "[" + name + "|" + std::to_string(flags) + "]";
    return {output.size(), output + '\0'};
}

UndecorateAnswer Refused(const std::string&, unsigned long) {
    return {0, "garbage"};
}

extern "C" {

void LogLine(Address address, int highlight, const char* text) {
    TheHost.log.push_back({address, highlight, text});
}

void QueryRange(Address* base, Address* size) {
    *base = TheHost.base;
    *size = TheHost.size;
}

int ReadName(Address address, int nameType, char* buffer) {
    TheHost.reads.push_back(address);
    if (nameType != NameTypeLabel) return 0;
    const auto found = TheHost.labels.find(address);
    if (found == TheHost.labels.end()) return 0;
    if (TheHost.silentReads.count(address) != 0) return 1;
    const std::string& label = found->second;
    const std::size_t n = std::min<std::size_t>(label.size(), TextBufferSize);
    std::memcpy(buffer, label.data(), n);
    if (n < TextBufferSize) buffer[n] = '\0';
    return 1;
}

void WriteName(Address address, int nameType, const char* text) {
    TheHost.writes.push_back({address, nameType, text});
    if (*text == '\0') {
        TheHost.labels.erase(address);
    } else {
        TheHost.labels[address] = text;
    }
}

void ShowNotice(const char* text) {
    TheHost.notices.emplace_back(text);
}

unsigned long UnDecorateSymbolName(const char* name, char* output, unsigned long capacity,
                                   unsigned long flags) {
    TheHost.undecorations.push_back({name, capacity, flags});
    const UndecorateAnswer answer = TheHost.undecorate(name, flags);
    if (answer.result != 0) {
        std::memcpy(output, answer.output.data(),
                    std::min<std::size_t>(answer.output.size(), capacity));
    }
    return answer.result;
}
}
