// Labels that must never reach the undecorator: names on which a known undecorator ends
// the whole process (an internal assert that calls _exit, which nothing in the plugin can
// catch), told apart from every well-formed decorated name by their text alone. Such a
// label stays as it was, as one the undecorator cannot read would.
#pragma once

#include <string_view>

// True if name has a shape that no well-formed decorated name has and on which Wine's
// undecorator ends its process. Reads nothing but name.
bool IsFatalToUndecorator(std::string_view name);
