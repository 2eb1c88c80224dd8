#include "launch/script_start.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/join.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

InterpreterStart LaunchScriptStart(std::wstring_view windowsFolder, bool redirected) {
  if (!windowsFolder.empty() && windowsFolder.back() == L'\\') {
    windowsFolder.remove_suffix(1);
  }
  // /d: no AutoRun command of the user's. /e:on /v:off: command extensions on and delayed
  // expansion off, whatever the user's registry says. call: the script's own "exit /b N"
  // becomes the interpreter's exit code, which a plain /c can lose.
  std::wstring interpreter =
      Join({windowsFolder, redirected ? L"\\Sysnative\\cmd.exe" : L"\\System32\\cmd.exe"});
  std::wstring commandLine =
      Join({L"\"", interpreter, L"\" /d /e:on /v:off /c call \"", kLaunchScriptPath, L"\""});
  return {std::move(interpreter), std::move(commandLine), L"C:\\"};
}

namespace {

// Environment names are ASCII in practice; folding only ASCII letters keeps the order free of
// the C library's locale.
wchar_t Upper(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Whether `entry` sets the variable `upperName` (given in capitals).
bool Sets(std::wstring_view entry, std::wstring_view upperName) {
  const std::wstring_view name = entry.substr(0, entry.find(L'=', 1));
  return name.size() == upperName.size() &&
         std::equal(name.begin(), name.end(), upperName.begin(),
                    [](wchar_t a, wchar_t b) { return Upper(a) == b; });
}

// The variables the script gets from the system, and the user's defaults for copy and dir
// switches, which would change what the script's own commands do.
bool IsPinned(std::wstring_view entry) {
  for (const std::wstring_view pinned :
       {L"COMSPEC", L"COPYCMD", L"DIRCMD", L"PATH", L"PATHEXT", L"SYSTEMROOT", L"WINDIR"}) {
    if (Sets(entry, pinned)) {
      return true;
    }
  }
  return false;
}

// Names compared as Windows sorts its environment: by character, letters regardless of case.
bool NameBefore(std::wstring_view a, std::wstring_view b) {
  const std::wstring_view nameA = a.substr(0, a.find(L'=', 1));
  const std::wstring_view nameB = b.substr(0, b.find(L'=', 1));
  return std::lexicographical_compare(nameA.begin(), nameA.end(), nameB.begin(), nameB.end(),
                                      [](wchar_t x, wchar_t y) { return Upper(x) < Upper(y); });
}

}  // namespace

std::wstring ScriptEnvironment(std::wstring_view environment, std::wstring_view windowsFolder) {
  if (!windowsFolder.empty() && windowsFolder.back() == L'\\') {
    windowsFolder.remove_suffix(1);
  }
  const std::wstring folder(windowsFolder);
  // The system's own folders come first in the search path, so that a bare name finds the
  // system's tool before anything in a folder of the user's; the extensions it tries are
  // Windows' own, not the user's.
  std::wstring path =
      Join({L"Path=", folder, L"\\System32;", folder, L";", folder, L"\\System32\\Wbem"});
  std::vector<std::wstring> entries = {
      L"ComSpec=" + folder + L"\\System32\\cmd.exe",
      L"PATHEXT=.COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC", L"SystemRoot=" + folder,
      L"windir=" + folder};
  while (!environment.empty() && environment.front() != L'\0') {
    const std::wstring_view entry = environment.substr(0, environment.find(L'\0'));
    if (Sets(entry, L"PATH") && entry.size() > 5) {
      path += L';';
      path += entry.substr(5);
    } else if (!IsPinned(entry)) {
      entries.emplace_back(entry);
    }
    environment.remove_prefix(std::min(environment.size(), entry.size() + 1));
  }
  entries.push_back(std::move(path));
  // By insertion: a handful of entries, and a library sort would cost the program kilobytes.
  for (std::size_t i = 1; i < entries.size(); ++i) {
    for (std::size_t j = i; j > 0 && NameBefore(entries[j], entries[j - 1]); --j) {
      entries[j].swap(entries[j - 1]);
    }
  }
  std::wstring block;
  for (const std::wstring& entry : entries) {
    block += entry;
    block += L'\0';
  }
  block += L'\0';
  return block;
}

std::wstring ExitCodeText(unsigned long code) {
  code &= 0xFFFFFFFFUL;
  if (code < 0x80000000UL) {
    return Decimal(code);
  }
  constexpr std::wstring_view kDigits = L"0123456789ABCDEF";
  wchar_t text[] = L"0x00000000";
  for (std::size_t digit = 0; digit < 8; ++digit) {
    text[9 - digit] = kDigits[(code >> (4 * digit)) & 0xFU];
  }
  return text;
}

}  // namespace addmorvane
