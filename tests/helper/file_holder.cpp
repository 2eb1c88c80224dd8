// A second process for the tests: opens a file as another program would and holds it open
// until told to let go.
//
//   file_holder PATH ACCESS SHARE DISPOSITION READY RELEASE
//
// ACCESS, SHARE and DISPOSITION are CreateFileW's arguments (numbers, 0x for hex); READY and
// RELEASE are inherited event handles. The holder sets READY once the file is open and closes
// it when RELEASE is set or the test ends. It exits with CreateFileW's error if the open fails.
#include <windows.h>

#include <cwchar>

namespace {

unsigned long long Number(const wchar_t* text) {
  return std::wcstoull(text, nullptr, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 7) {
    return 87;  // ERROR_INVALID_PARAMETER
  }
  const auto ready = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(Number(argv[5])));
  const auto release = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(Number(argv[6])));
  HANDLE file =
      CreateFileW(argv[1], static_cast<DWORD>(Number(argv[2])), static_cast<DWORD>(Number(argv[3])),
                  nullptr, static_cast<DWORD>(Number(argv[4])), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return static_cast<int>(GetLastError());
  }
  SetEvent(ready);
  WaitForSingleObject(release, INFINITE);
  CloseHandle(file);
  return 0;
}
