// Stands in for a system tool (bcdedit.exe, manage-bde.exe) under the example launch script:
// appends its command line, as the program received it (its path, then its arguments), as one
// line to the file named by STANDIN_RECORD, and exits with STANDIN_CODE when that line
// contains STANDIN_FAIL (not empty), else with 0. It exits with 99 if it cannot record.
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
  if (fail != nullptr && *fail != '\0' && code != nullptr && line.find(fail) != std::string::npos) {
    // From 0x80000000 on (an HRESULT, as some tools end with), cmd's errorlevel is negative.
    return static_cast<int>(std::strtoul(code, nullptr, 0));
  }
  return 0;
}
