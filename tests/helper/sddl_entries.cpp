// Reads an SDDL text as Windows does and prints what it grants, so that a test can compare it
// with a table: "protected" when the list takes nothing from above, then one line per entry,
// "<type> <flags> <mask> <SID>" in hexadecimal. Exits with the system's error if it does not
// parse.
//
//   sddl_entries SDDL
#include <windows.h>

#include <sddl.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (argc != 2 || !ConvertStringSecurityDescriptorToSecurityDescriptorW(argv[1], SDDL_REVISION_1,
                                                                         &sd, nullptr)) {
    return argc != 2 ? 87 : static_cast<int>(GetLastError());
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorControl(sd, &control, &revision) ||
      !GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) || !present || !dacl) {
    return 1;
  }
  std::printf("%s\n", (control & SE_DACL_PROTECTED) != 0 ? "protected" : "inherits");
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* ace = nullptr;
    wchar_t* sid = nullptr;
    if (!GetAce(dacl, index, &ace) ||
        !ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &sid)) {
      return 1;
    }
    const auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    std::printf("%x %x %lx %ls\n", entry->Header.AceType, entry->Header.AceFlags,
                static_cast<unsigned long>(entry->Mask), sid);
    LocalFree(sid);
  }
  LocalFree(sd);
  return 0;
}
