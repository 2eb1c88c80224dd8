#include "dospart/command_line.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace addmorvane::dospart {

const char kUsage[] =
    "usage: dospart-check check PARTITION --master FOLDER --files \"NAME ...\"\n"
    "                          [--outputs \"NAME ...\"] [--run-script FILE] [--msdos6]\n"
    "       dospart-check bootsect PARTITION FILE\n"
    "PARTITION is --volume {GUID} (the DOS partition, read raw from its disk) or\n"
    "--image FILE [--offset BYTES] (a whole-disk image; without --offset its first primary\n"
    "FAT partition). Exit codes: 0 sound, 1 usage, 2 cannot read or write, 3 partition\n"
    "table, 4 boot sector, 5 MS-DOS 6.22 rule, 6 file system damaged, 7 files,\n"
    "8 BOOTSECT.DOS stale.\n";

namespace {

// A DOS name or path below the root: ASCII letters, digits and the usual marks, in parts of
// at most 8 + 3 characters.
bool DosPath(const std::wstring& text, std::string& out) {
  out.clear();
  std::size_t base = 0, ext = 0;
  bool inExt = false;
  for (wchar_t c : text) {
    if (c == L'\\') {
      if (base == 0) {
        return false;
      }
      base = ext = 0;
      inExt = false;
    } else if (c == L'.') {
      if (inExt || base == 0) {
        return false;
      }
      inExt = true;
    } else if (c > 0x20 && c < 0x7F && std::wcschr(L"\"*+,/:;<=>?[]|", c) == nullptr) {
      if (++(inExt ? ext : base) > (inExt ? 3u : 8u)) {
        return false;
      }
    } else {
      return false;
    }
    out += static_cast<char>(std::towupper(c));
  }
  return base != 0;
}

bool Names(const std::wstring& list, std::vector<std::string>& out, std::string& error) {
  std::size_t at = 0;
  while (at < list.size()) {
    const std::size_t end = std::min(list.find(L' ', at), list.size());
    if (end > at) {
      std::string name;
      if (!DosPath(list.substr(at, end - at), name)) {
        error = "not a DOS 8.3 name or path: " + std::string(name.empty() ? "?" : name);
        return false;
      }
      out.push_back(name);
    }
    at = end + 1;
  }
  return true;
}

bool IsGuid(const std::wstring& s) {
  if (s.size() != 38 || s.front() != L'{' || s.back() != L'}') {
    return false;
  }
  for (std::size_t i = 1; i < 37; ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? s[i] != L'-' : !std::iswxdigit(s[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::wstring>& args, Options& o, std::string& error) {
  if (args.empty() || (args[0] != L"check" && args[0] != L"bootsect")) {
    error = "the first argument is check or bootsect";
    return false;
  }
  o.command = args[0] == L"check" ? Options::Command::kCheck : Options::Command::kBootSect;
  std::vector<std::wstring> plain;
  bool filesGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    const bool takesValue = a == L"--volume" || a == L"--image" || a == L"--offset" ||
                            a == L"--master" || a == L"--files" || a == L"--outputs" ||
                            a == L"--run-script";
    if (takesValue && i + 1 == args.size()) {
      error = "no value after an option";
      return false;
    }
    if (a == L"--msdos6") {
      o.msdos6 = true;
    } else if (!takesValue) {
      if (a.rfind(L"--", 0) == 0) {
        error = "unknown option";
        return false;
      }
      plain.push_back(a);
    } else {
      const std::wstring& v = args[++i];
      if (a == L"--volume") {
        o.volume = v;
      } else if (a == L"--image") {
        o.image = v;
      } else if (a == L"--master") {
        o.master = v;
      } else if (a == L"--run-script") {
        o.runScript = v;
      } else if (a == L"--offset") {
        std::uint64_t n = 0;
        for (wchar_t c : v) {
          if (c < L'0' || c > L'9' || n > (UINT64_MAX - 9) / 10) {
            error = "--offset takes a number of bytes";
            return false;
          }
          n = n * 10 + static_cast<std::uint64_t>(c - L'0');
        }
        o.offset = n;
      } else if (!Names(v, a == L"--files" ? o.files : o.outputs, error)) {
        return false;
      } else {
        filesGiven = filesGiven || a == L"--files";
      }
    }
  }
  if (o.volume.empty() == o.image.empty()) {
    error = "give either --volume {GUID} or --image FILE";
    return false;
  }
  if (!o.volume.empty() && (!IsGuid(o.volume) || o.offset)) {
    error = "--volume takes the volume's {GUID}, as mountvol shows it, and no --offset";
    return false;
  }
  if (o.command == Options::Command::kBootSect) {
    if (plain.size() != 1 || o.msdos6 || filesGiven || !o.master.empty()) {
      error = "bootsect takes the partition and one output FILE";
      return false;
    }
    o.output = plain[0];
    return true;
  }
  for (const std::string& name : o.files) {
    if (name == "MORVANE.BAT") {
      error = "MORVANE.BAT comes from --run-script, not from --files";
      return false;
    }
  }
  if (!plain.empty() || o.master.empty() || !filesGiven) {
    error = "check takes the partition, --master FOLDER and --files \"NAME ...\"";
    return false;
  }
  return true;
}

}  // namespace addmorvane::dospart
