// The five services a plugin imports from OLLYDBG.EXE, exported by ordinal only
// (host_exports.def) over the in-memory label table. Name type 49 is the only kind held.
#include <cstdio>
#include <cstring>

#include "stand_in_host/host_state.h"

namespace {
constexpr int LabelType = 49;

void Count(const std::string& what) {
    ++State().tally[what];
}
}  // namespace

extern "C" {

int HostLogLine(std::uint32_t address, int highlight, const char* text) {
    Count("LogLine");
    if (State().echoCalls) {
        Say("  log " + Hex(address) + " highlight " + std::to_string(highlight) + " " +
            Quoted(text));
    }
    return 0;
}

int HostReadName(std::uint32_t address, int type, char* buffer) {
    Count("ReadName");
    if (type != LabelType) return 0;
    const auto found = State().labels.find(address);
    if (found == State().labels.end()) return 0;
    const std::size_t n = found->second.size() < 255 ? found->second.size() : 255;
    std::memcpy(buffer, found->second.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

int HostQueryRange(std::uint32_t* base, std::uint32_t* size) {
    Count("QueryRange");
    *base = State().base;
    *size = State().size;
    return 0;
}

int HostShowNotice(const char* text) {
    Count("ShowNotice");
    Count("notice " + Quoted(text));
    if (State().echoCalls) Say("  notice " + Quoted(text));
    return 0;
}

int HostWriteName(std::uint32_t address, int type, const char* text) {
    Count("WriteName");
    if (State().echoCalls) Say("  write " + Hex(address) + " " + Quoted(text));
    if (type != LabelType) return -1;
    if (*text == '\0') {
        State().labels.erase(address);
    } else {
        State().labels[address] = text;
    }
    return 0;
}
}
