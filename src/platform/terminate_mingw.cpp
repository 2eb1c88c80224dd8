// MinGW only. libstdc++'s default terminate handler prints the type of an escaping exception
// and brings the C++ name demangler and formatted output with it: two fifths of this program's
// size. The program never lets an exception escape (every handler reports its failure and ends
// the program), so terminating quietly loses nothing.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
