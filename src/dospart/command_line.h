// The checker's command line. Documented in docs/dospart-check.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace addmorvane::dospart {

struct Options {
  enum class Command { kCheck, kBootSect } command = Command::kCheck;
  std::wstring volume;                  // "{GUID}" of the volume, or
  std::wstring image;                   // a disk image file in its place
  std::optional<std::uint64_t> offset;  // the partition's byte offset in the image
  std::wstring master;                  // the folder with the master copies
  std::vector<std::string> files;       // DOS paths, upper case
  std::vector<std::string> outputs;
  std::wstring runScript = L"C:\\morvane.bat";
  bool msdos6 = false;
  std::wstring output;  // bootsect's FILE
};

// The usage text, printed with exit code 1.
extern const char kUsage[];

// Reads the arguments after the program's name. False with `error` set when they are wrong.
bool ParseCommandLine(const std::vector<std::wstring>& args, Options& options, std::string& error);

}  // namespace addmorvane::dospart
