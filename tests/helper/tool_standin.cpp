// Stands in for bcdedit, manage-bde, mountvol, fc, schtasks, powershell and dospart-check under the
// example scripts: appends its command line as received (its path, then its arguments) as one
// line to the file named by STANDIN_RECORD; exits with STANDIN_CODE when that line contains a
// piece of STANDIN_FAIL ('|' between pieces). Otherwise fc.exe compares its two files (Wine's
// compares nothing), mountvol.exe moves folders (below), and any other tool prints STANDIN_OUTPUT,
// a '|' for each line break, and exits with 0. 99: no record.
// Mountvol: a volume {GUID} offline is the folder STANDIN_DRIVES\{GUID}; mounted at P (a folder
// of STANDIN_DRIVES, for a letter), it is the folder P, and the file P.vol holds its name.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

int mountvol(const fs::path& drives, std::string at, const std::string& what) {
  std::error_code error;
  if (at.empty()) {
    for (const auto& entry : fs::directory_iterator(drives)) {
      const auto& file = entry.path();
      if (file.extension() == ".vol") {
        std::printf("    %s\n        %s\\\n", read(file).c_str(),
                    (drives / file.stem()).string().c_str());
      } else if (file.filename().string().front() == '{') {
        std::printf("    \\\\?\\Volume%s\\\n        *** NOT MOUNTED ***\n",
                    file.filename().string().c_str());
      }
    }
  } else if (what == "/l" && fs::exists(at += ".vol")) {
    std::puts(read(at).c_str());
  } else if ((what == "/d" || what == "/p") && fs::exists(at + ".vol")) {
    const std::string name = read(at + ".vol");
    fs::rename(at, drives / name.substr(10, name.size() - 11), error);
    return error || !fs::remove(at + ".vol", error) ? 1 : 0;
  } else if (what.rfind("\\\\?\\Volume{", 0) == 0 && !fs::exists(at)) {
    fs::rename(drives / what.substr(10, what.size() - 11), at, error);
    // Windows names volumes in lower case, whatever case it was given.
    std::string name = what;
    for (char& c : name)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::ofstream(at + ".vol", std::ios::binary) << what.substr(0, 10) << name.substr(10);
    return error ? 1 : 0;
  } else {
    std::puts("The system cannot find the file specified.");
    return 1;
  }
  return 0;
}

}  // namespace

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
  const std::string tool = line.substr(line.rfind('\\', line.find(' ')) + 1, 3);
  if (tool == "fc." && argc == 4) {
    return fs::exists(argv[2]) && fs::exists(argv[3]) && read(argv[2]) == read(argv[3]) ? 0 : 1;
  }
  if (tool == "mou") {
    const std::string at = argc > 1 ? argv[1] : "";
    return mountvol(std::getenv("STANDIN_DRIVES"), at.substr(0, at.find_last_not_of('\\') + 1),
                    argc > 2 ? argv[2] : "");
  }
  if (const char* output = std::getenv("STANDIN_OUTPUT"); output != nullptr) {
    std::string text = output;
    std::replace(text.begin(), text.end(), '|', '\n');
    std::puts(text.c_str());
  }
  return 0;
}
