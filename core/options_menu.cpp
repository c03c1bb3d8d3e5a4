// Menu text and option toggling, both keyed by the table's order.
#include "core/options_menu.h"

#include "core/option_table.h"
#include "host/host_services.h"

std::string BuildMenuText() {
    std::string text = "2Options{";
    std::size_t k = 0;
    for (const auto& [name, flag] : Options()) {
        text += std::to_string(MenuNumber(k++));
        text += name;
        text += ',';
    }
    text += "}|1Demangle Labels";
    return text;
}

void ToggleOption(int action) {
    if (action < FirstOptionNumber) return;
    OptionEntry* entry = EntryAt(static_cast<std::size_t>(action - FirstOptionNumber));
    if (entry == nullptr) return;  // past the last option: not in the menu
    // The notice is built before the flip: out of memory, the switch stays as the user
    // last saw it, rather than changing unannounced.
    const std::string notice = entry->first + " = " + (entry->second ? "False" : "True");
    Flip(*entry);
    ShowNotice(notice.c_str());
}
