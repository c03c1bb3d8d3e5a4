// The plugin's menu in the host's menu-description syntax, and the actions that flip an
// option. Action 1 is the label pass, 2 the "Options" group, 3 and above the options in
// the table's order.
#pragma once

#include <string>

// The menu text, e.g. "2Options{3COMPLETE,4NAME_ONLY,5REMOVE_EMPTY,}|1Demangle Labels".
std::string BuildMenuText();

// Flips the option whose action number is action and shows its new value in a notice.
// A number that names no option does nothing. Out of memory, it throws std::bad_alloc
// before anything has changed.
void ToggleOption(int action);
