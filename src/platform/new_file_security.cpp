#include "platform/new_file_security.h"

#include <sddl.h>

#include <utility>

#include "files/new_access.h"
#include "platform/system_error.h"

namespace addmorvane {
namespace {

AccessListPicture PictureOf(const std::vector<unsigned char>& descriptor) {
  AccessListPicture picture;
  if (descriptor.empty()) {
    return picture;
  }
  auto* sd = const_cast<unsigned char*>(descriptor.data());
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (GetSecurityDescriptorControl(sd, &control, &revision)) {
    picture.isProtected = (control & SE_DACL_PROTECTED) != 0;
  }
  if (!GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) || !present || dacl == nullptr) {
    return picture;
  }
  picture.hasDacl = true;
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* ace = nullptr;
    // An entry that cannot be read counts as one of the file's own: the list stays as it is.
    picture.entryFlags.push_back(
        GetAce(dacl, index, &ace) ? static_cast<const ACE_HEADER*>(ace)->AceFlags : 0);
  }
  return picture;
}

std::vector<unsigned char> FromSddl(std::wstring_view sddl, const std::wstring& action) {
  PSECURITY_DESCRIPTOR built = nullptr;
  ULONG size = 0;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(std::wstring(sddl).c_str(),
                                                            SDDL_REVISION_1, &built, &size)) {
    throw SystemError(GetLastError(), action);
  }
  const auto* bytes = static_cast<const unsigned char*>(built);
  std::vector<unsigned char> descriptor(bytes, bytes + size);
  LocalFree(built);
  return descriptor;
}

}  // namespace

NewFileSecurity::NewFileSecurity(std::vector<unsigned char> old,
                                 std::wstring_view fixedSddl,
                                 const std::wstring& action)
    : descriptor_(ChooseNewAccess(PictureOf(old)) == NewAccess::KeepOld
                      ? std::move(old)
                      : FromSddl(fixedSddl, action)) {
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = descriptor_.data();
  attributes_.bInheritHandle = FALSE;
}

bool NewFileSecurity::DropOwner() {
  void* sd = descriptor_.data();
  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  BOOL present = FALSE;
  BOOL daclDefaulted = FALSE;
  PACL dacl = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  constexpr SECURITY_DESCRIPTOR_CONTROL kKept = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
  if (attributes_.lpSecurityDescriptor == &withoutOwner_ ||
      !GetSecurityDescriptorOwner(sd, &owner, &ownerDefaulted) || owner == nullptr ||
      !GetSecurityDescriptorDacl(sd, &present, &dacl, &daclDefaulted) ||
      !GetSecurityDescriptorControl(sd, &control, &revision) ||
      !InitializeSecurityDescriptor(&withoutOwner_, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&withoutOwner_, present, dacl, daclDefaulted) ||
      !SetSecurityDescriptorControl(&withoutOwner_, kKept, control & kKept)) {
    return false;
  }
  attributes_.lpSecurityDescriptor = &withoutOwner_;
  return true;
}

}  // namespace addmorvane
