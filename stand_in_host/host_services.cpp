// The five services a plugin imports from OLLYDBG.EXE, exported by ordinal only
// (host_exports.def) over the host's label table, each counted and, with trace on, shown.
#include "stand_in_host/host_state.h"
#include "stand_in_host/transcript.h"

namespace {

HostState TheState;

void Count(const std::string& what) {
    ++TheState.tally[what];
}

}  // namespace

HostState& State() {
    return TheState;
}

extern "C" {

int HostLogLine(Address address, int highlight, const char* text) {
    Count("LogLine");
    if (TheState.trace) {
        Say("  log " + Hex(address) + " highlight " + std::to_string(highlight) + " " +
            Quoted(text));
    }
    return 0;
}

int HostReadName(Address address, int type, char* buffer) {
    Count("ReadName");
    const int found = ReadLabel(TheState.labels, address, type, buffer);
    if (found != 0) TheState.lastLabel = address;
    return found;
}

int HostQueryRange(Address* base, Address* size) {
    Count("QueryRange");
    *base = TheState.base;
    *size = TheState.size;
    return 0;
}

int HostShowNotice(const char* text) {
    Count("ShowNotice");
    Count("notice " + Quoted(text));
    if (TheState.trace) Say("  notice " + Quoted(text));
    return 0;
}

int HostWriteName(Address address, int type, const char* text) {
    Count("WriteName");
    if (TheState.trace) Say("  write " + Hex(address) + " " + Quoted(text));
    WriteLabel(TheState.labels, address, type, text);
    return 0;
}
}
