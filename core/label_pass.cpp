// The label pass. One ReadName per byte address of the range; per label at most one
// undecorator call and one WriteName. The label buffer is the plugin's own copy of the
// label, so the working string is a view of it: dropping the prefix moves the view's start
// and leaves the host's label as it was. Nothing is allocated.
#include "core/label_pass.h"

#include <algorithm>
#include <string_view>

#include "core/name_reader.h"
#include "core/option_table.h"
#include "host/host_services.h"

namespace {

constexpr std::string_view Placeholder = "00:?";
constexpr std::string_view Prefix = "00:";

// The label, and room for the NULs the undecorator may read after it.
using LabelBuffer = char[TextBufferSize + NulsAfterName];

void DemangleLabel(Address address, LabelBuffer& label) {
    label[TextBufferSize - 1] = '\0';  // a host that left no NUL still gets only its buffer read
    std::string_view work = label;
    // Past the name's NUL the undecorator finds NULs, not what an earlier, longer label or
    // the host left there.
    std::fill_n(label + work.size() + 1, NulsAfterName, '\0');
    if (work == Placeholder && Lookup("REMOVE_EMPTY")) {
        WriteName(address, NameTypeLabel, "");
        return;
    }
    // Dropping the front keeps the view NUL-terminated, as the undecorator needs.
    if (work.size() > Prefix.size() && work.starts_with(Prefix)) work.remove_prefix(Prefix.size());

    // A name the undecorator would freeze or end the process on stays as it was, as a
    // refused one.
    if (!IsSafeToUndecorate(work)) return;

    const unsigned long flags = Lookup("NAME_ONLY") ? UndecorateNameOnly : UndecorateComplete;
    char output[TextBufferSize];
    if (UnDecorateSymbolName(work.data(), output, TextBufferSize, flags) == 0) return;
    output[TextBufferSize - 1] = '\0';  // never trust the undecorator to stay inside
    // Writing "" would delete the label: an empty answer is no name, so keep the old one.
    if (output[0] == '\0') return;
    WriteName(address, NameTypeLabel, output);
}

}  // namespace

void DemangleLabels() {
    Address base = 0;
    Address size = 0;
    QueryRange(&base, &size);
    if (base == 0 || size == 0) return;
    // Kept empty between labels: a host that answers yes without writing gives an empty
    // name, never the previous label.
    LabelBuffer label = {};
    // Unsigned arithmetic: a range reaching past 0xFFFFFFFF continues at 0.
    for (Address i = 0; i != size; ++i) {
        if (ReadName(base + i, NameTypeLabel, label) == 0) continue;
        DemangleLabel(base + i, label);
        label[0] = '\0';
    }
}
