// Replacements for four pieces of the statically linked C++ runtime, reached only when
// something has already gone wrong, which otherwise make up three quarters of the DLL:
// - the default terminate handler, which names the exception through the runtime's own
//   C++ demangler and prints it with a full printf;
// - the helpers that the containers call to throw, which build their messages as
//   copy-on-write strings and so pull in <stdexcept> and a second string library.
// Exceptions stay on: the replacements still throw, and the exports' wall catches what
// they throw, so an allocation failure still ends there and never in the host. The
// linker takes a symbol from the runtime's archive only when nothing defines it, so these
// take the runtime's place and its archive members are never pulled in.
#include <cstdlib>
#include <exception>
#include <new>

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

// A string or a tree asked to grow past its largest size: no memory can hold that.
void __throw_length_error(const char* /*what*/) {
    throw bad_alloc();
}

// A misuse such as a string built from a null pointer; only the wall ever sees it.
void __throw_logic_error(const char* /*what*/) {
    throw exception();
}

}  // namespace std

namespace __gnu_cxx {

// Reached only if an exception escapes a noexcept function. Ending the process without
// a word is all a plugin can do there; the host owns the console, if it has one.
void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

// The start-up code's relocator for data that the linker imported automatically, with the
// section walker it needs: 3 KB. The DLL is linked with --disable-auto-import, which makes
// any such import a link error, so there is never anything for it to relocate.
extern "C" void _pei386_runtime_relocator() {}
