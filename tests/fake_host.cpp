// The fake host's five services and undecorator, bound by the linker.
#include "tests/fake_host.h"

#include <algorithm>
#include <cstring>

#include "core/option_table.h"
#include "tests/quoted.h"

namespace {
FakeHost TheHost;

int AnswerRead(Address address, int nameType, char* buffer) {
    const auto found = TheHost.labels.find(address);
    if (nameType == NameTypeLabel && found != TheHost.labels.end()) {
        if (TheHost.silentReads.count(address) != 0) return 1;
        if (TheHost.unterminatedReads.count(address) != 0) {
            const std::string& label = found->second;
            std::memcpy(buffer, label.data(), std::min<std::size_t>(label.size(), TextBufferSize));
            return TextBufferSize;
        }
    }
    return ReadLabel(TheHost.labels, address, nameType, buffer);
}
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

std::ostream& operator<<(std::ostream& out, const LogRecord& record) {
    return out << "LogLine(" << record.address << ", " << record.highlight << ", "
               << Quoted(record.text) << ")";
}

std::ostream& operator<<(std::ostream& out, const WriteRecord& record) {
    return out << "WriteName(0x" << std::hex << record.address << std::dec << ", "
               << record.nameType << ", " << Quoted(record.text) << ")";
}

std::ostream& operator<<(std::ostream& out, const UndecorateRecord& record) {
    return out << "UnDecorateSymbolName(" << Quoted(record.name) << ", " << record.capacity
               << ", 0x" << std::hex << record.flags << std::dec << ")";
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
    return AnswerRead(address, nameType, buffer);
}

void WriteName(Address address, int nameType, const char* text) {
    TheHost.writes.push_back({address, nameType, text});
    WriteLabel(TheHost.labels, address, nameType, text);
}

void ShowNotice(const char* text) {
    TheHost.notices.emplace_back(text);
}

unsigned long UnDecorateSymbolName(const char* name, char* output, unsigned long capacity,
                                   unsigned long flags) {
    TheHost.undecorations.push_back({name, capacity, flags});
    const char* const after = name + std::strlen(name) + 1;
    TheHost.nulsAfterEveryName =
        TheHost.nulsAfterEveryName &&
        std::all_of(after, after + NulsAfterName, [](char c) { return c == '\0'; });
    const UndecorateAnswer answer = TheHost.undecorate(name, flags);
    if (answer.result != 0) {
        std::memcpy(output, answer.output.data(),
                    std::min<std::size_t>(answer.output.size(), capacity));
    }
    return answer.result;
}
}
