// Texts the plugin must produce, written once for the tests and the fuzzer.
#pragma once

// The menu text: the same with any switch values, since it lists names only.
inline constexpr char MenuText[] = "2Options{3COMPLETE,4NAME_ONLY,5REMOVE_EMPTY,}|1Demangle Labels";
