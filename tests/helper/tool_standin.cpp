// Stands in for a system tool (bcdedit, manage-bde, mountvol, fc) under the example launch script:
// appends its command line as received (its path, then its arguments) as one line to the file
// named by STANDIN_RECORD; exits with STANDIN_CODE when that line contains a piece of
// STANDIN_FAIL ('|' between pieces), else prints STANDIN_OUTPUT and exits with 0 (99: no record).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  std::string line = argc > 0 ? argv[0] : "";
  for (int i = 1; i < argc; ++i) {
    (line += ' ') += argv[i];
  }
  const char* record = std::getenv("STANDIN_RECORD");
  std::FILE* file = record != nullptr ? std::fopen(record, "ab") : nullptr;
  if (file == nullptr || std::fprintf(file, "%s\n", line.c_str()) < 0 || std::fclose(file) != 0) {
    return 99;
  }
  const char* fail = std::getenv("STANDIN_FAIL");
  const char* code = std::getenv("STANDIN_CODE");
  const std::string pieces = fail != nullptr && code != nullptr ? fail : "";
  for (std::size_t at = 0, end = 0; at < pieces.size(); at = end + 1) {
    end = std::min(pieces.find('|', at), pieces.size());
    if (end > at && line.find(pieces.substr(at, end - at)) != std::string::npos) {
      // From 0x80000000 on (an HRESULT, as some tools end with), cmd's errorlevel is negative.
      return static_cast<int>(std::strtoul(code, nullptr, 0));
    }
  }
  if (const char* output = std::getenv("STANDIN_OUTPUT"); output != nullptr) {
    std::puts(output);
  }
  return 0;
}
