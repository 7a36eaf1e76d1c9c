// The handler that std::terminate calls by default, defined here in place of the C++
// runtime's. The runtime's prints the uncaught exception's demangled type name to
// stderr, which a GUI program does not have, and brings the whole demangler and a printf
// engine into every program with it. The runtime refers to the default handler by this
// name (also to reset it), so it is this function that has to be ours, not only the
// handler installed: linked into a program as an object, not from a library, this
// definition is found first, and the runtime's object that holds the other is never
// pulled in.
#include <cxxabi.h>

#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
