// The functions through which the C++ library throws its own errors (a string grown
// past its maximum, a position past its end), defined here in place of the library's.
// The library keeps them all in one object, and its versions throw std::logic_error and
// its kind, which hold their message in the old reference-counted string: linked in,
// they bring that whole string class, some 30 KB, into each program. These throw the
// program's own Exception with the library's message (the format of
// __throw_out_of_range_fmt as it stands, unformatted), which the application shows in
// its exception box as it would show the library's; only a program error raises them.
// Memory exhaustion keeps its standard types.
//
// Linked into the Windows programs as an object, ahead of the C++ runtime, so that the
// linker finds these first and never pulls in the library's object.
#include <new>

#include "base/Exceptions.h"

namespace std {

void __throw_logic_error(const char* message) { throw Exception(message); }
void __throw_length_error(const char* message) { throw Exception(message); }
void __throw_out_of_range(const char* message) { throw Exception(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw Exception(format); }
void __throw_invalid_argument(const char* message) { throw Exception(message); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }

}  // namespace std
