// MinGW only. libstdc++'s default terminate handler prints the type of an escaping exception
// and brings the C++ name demangler and formatted output with it: two fifths of this program's
// size. The program never lets an exception escape (every handler reports its failure and ends
// the program), so terminating quietly loses nothing.
#include <cstdlib>

namespace __gnu_cxx {
// The name is the runtime's own: this definition takes the place of the library's.
void __verbose_terminate_handler() {  // NOLINT(bugprone-reserved-identifier)
  std::abort();
}
}  // namespace __gnu_cxx
