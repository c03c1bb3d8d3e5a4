// The benchmark's host services and undecorator.
#include "bench/bench_host.h"

#include <cstring>

namespace {
BenchHost TheBench;

const char* const Names[] = {
    "?Method@Widget@ui@@QAEXH@Z",        "00:??0File@io@@QAE@XZ",
    "??$max@H@std@@YAABHABH0@Z",         "?instances@Widget@@2HA",
    "00:?Read@File@io@@QAEHPAXI@Z",      "??4Point@geo@@QAEAAU01@ABU01@@Z",
    "?Create@Factory@@SAPAVWidget@@H@Z", "?g@@YAXXZ",
};
}  // namespace

BenchHost& Bench() {
    return TheBench;
}

void PlaceLabels(Address base, Address size, Address every) {
    TheBench = BenchHost{};
    TheBench.base = base;
    TheBench.size = size;
    TheBench.slot.assign(size, 0);
    TheBench.texts.assign(std::begin(Names), std::end(Names));
    if (every == 0) return;
    for (Address offset = 0, n = 0; offset < size; offset += every, ++n) {
        TheBench.slot[offset] = 1 + n % static_cast<Address>(TheBench.texts.size());
    }
}

extern "C" {
void LogLine(Address, int, const char*) {}
void ShowNotice(const char*) {}

void QueryRange(Address* base, Address* size) {
    *base = TheBench.base;
    *size = TheBench.size;
}

int ReadName(Address address, int, char* buffer) {
    const std::uint32_t slot = TheBench.slot[address - TheBench.base];
    if (slot == 0) return 0;
    const std::string& text = TheBench.texts[slot - 1];
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 1;
}

void WriteName(Address, int, const char*) {
    ++TheBench.writes;
}

unsigned long UnDecorateSymbolName(const char* name, char* output, unsigned long capacity,
                                   unsigned long) {
    ++TheBench.undecorations;
    const std::size_t n = strnlen(name, capacity - 1);
    std::memcpy(output, name, n);
    output[n] = '\0';
    return 1;
}
}
