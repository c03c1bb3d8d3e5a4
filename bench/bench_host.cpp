// The benchmark's host services and undecorator.
#include "bench/bench_host.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "tests/label_table.h"

namespace {
BenchHost TheBench;
constexpr Address OtherNames = 32768;  // on each side of the range

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

void PlaceLabels(HostKind kind, Address base, Address size, Address every) {
    TheBench = BenchHost{};
    TheBench.kind = kind;
    TheBench.base = base;
    TheBench.size = size;
    TheBench.texts.assign(std::begin(Names), std::end(Names));
    const auto count = static_cast<std::uint32_t>(TheBench.texts.size());
    if (kind == HostKind::Flat) {
        TheBench.slot.assign(size, 0);
        for (Address offset = 0, n = 0; every != 0 && offset < size; offset += every, ++n) {
            TheBench.slot[offset] = 1 + n % count;
        }
        return;
    }
    // The names of other modules, below and above the range.
    for (Address n = 0; n < OtherNames; ++n) {
        TheBench.table.emplace_back(base - OtherNames * 16 + n * 16, 1 + n % count);
    }
    for (Address offset = 0, n = 0; every != 0 && offset < size; offset += every, ++n) {
        TheBench.table.emplace_back(base + offset, 1 + n % count);
    }
    for (Address n = 0; n < OtherNames; ++n) {
        TheBench.table.emplace_back(base + size + n * 16, 1 + n % count);
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
    std::uint32_t slot = 0;
    if (TheBench.kind == HostKind::Flat) {
        slot = TheBench.slot[address - TheBench.base];
    } else {
        const auto found = std::lower_bound(TheBench.table.begin(), TheBench.table.end(),
                                            std::pair<Address, std::uint32_t>{address, 0});
        if (found != TheBench.table.end() && found->first == address) slot = found->second;
    }
    if (slot == 0) return 0;
    return CopyLabel(TheBench.texts[slot - 1], buffer);
}

void WriteName(Address, int, const char*) {}

unsigned long UnDecorateSymbolName(const char* name, char* output, unsigned long capacity,
                                   unsigned long) {
    ++TheBench.undecorations;
    const std::size_t n = strnlen(name, capacity - 1);
    std::memcpy(output, name, n);
    output[n] = '\0';
    return 1;
}
}
