// Stands in for a system tool (bcdedit, manage-bde, mountvol, fc, schtasks, powershell) under the
// example scripts: appends its command line as received (its path, then its arguments) as one
// line to the file named by STANDIN_RECORD; exits with STANDIN_CODE when that line contains a
// piece of STANDIN_FAIL ('|' between pieces). Otherwise fc.exe compares its two files for real
// (0 the same, 1 not, 2 one missing), mountvol.exe acts on the folders of STANDIN_DRIVES (below),
// and any other tool prints STANDIN_OUTPUT, a '|' for each line break, and exits with 0.
// 99: no record.
//
// Mountvol's model: a volume {GUID} is offline while its files are in the folder
// STANDIN_DRIVES\{GUID}; mounted at a mount point P (a folder of STANDIN_DRIVES standing for a
// letter), its files are the folder P, and the file P.vol holds its volume name.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int compare(const std::string& a, const std::string& b) {
  if (!fs::exists(a) || !fs::exists(b)) {
    return 2;
  }
  return read(a) == read(b) ? 0 : 1;
}

// The volume's files go back to its folder of offline volumes, as /d and /p leave them.
int unmount(const fs::path& drives, const fs::path& point) {
  const std::string name = read(point.string() + ".vol");
  const auto open = name.find('{');
  std::error_code error;
  fs::rename(point, drives / name.substr(open, name.find('}') + 1 - open), error);
  return error || !fs::remove(point.string() + ".vol", error) ? 1 : 0;
}

int mountvol(int argc, char** argv) {
  const char* root = std::getenv("STANDIN_DRIVES");
  if (root == nullptr) {
    return 98;
  }
  const fs::path drives = root;
  if (argc == 1) {
    for (const auto& entry : fs::directory_iterator(drives)) {
      const std::string file = entry.path().filename().string();
      if (file.front() == '{') {
        std::printf("    \\\\?\\Volume%s\\\n        *** NOT MOUNTED ***\n\n", file.c_str());
      } else if (entry.path().extension() == ".vol") {
        std::printf("    %s\n        %s\\\n\n", read(entry.path()).c_str(),
                    (drives / entry.path().stem()).string().c_str());
      }
    }
    return 0;
  }
  std::string at = argv[1];
  if (at.back() == '\\') {
    at.pop_back();
  }
  const std::string what = argc > 2 ? argv[2] : "";
  if (what == "/l" && fs::exists(at + ".vol")) {
    std::puts(read(at + ".vol").c_str());
    return 0;
  }
  if (what == "/d" || what == "/p") {
    return fs::exists(at + ".vol") ? unmount(drives, at) : 1;
  }
  if (what.rfind("\\\\?\\Volume{", 0) == 0 && !fs::exists(at)) {
    std::error_code error;
    fs::rename(drives / what.substr(10, what.size() - 11), at, error);
    // Windows names volumes in lower case, whatever case the caller used.
    std::ofstream(at + ".vol", std::ios::binary) << what.substr(0, 10) + lower(what.substr(10));
    return error ? 1 : 0;
  }
  std::puts("The system cannot find the file specified.");
  return 1;
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
  const std::string tool = lower(argc > 0 ? fs::path(argv[0]).filename().string() : "");
  if (tool == "fc.exe" && argc == 4) {
    return compare(argv[2], argv[3]);
  }
  if (tool == "mountvol.exe") {
    return mountvol(argc, argv);
  }
  if (const char* output = std::getenv("STANDIN_OUTPUT"); output != nullptr) {
    std::string text = output;
    std::replace(text.begin(), text.end(), '|', '\n');
    std::puts(text.c_str());
  }
  return 0;
}
