// Linked into the shipped program and component in place of the C++ library's verbose
// terminate handler: that one prints the uncaught exception's demangled type name to a
// console these programs do not have, and brings the whole demangler with it. An
// uncaught exception still ends the process as std::terminate's default does.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
