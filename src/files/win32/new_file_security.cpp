#include "files/win32/new_file_security.h"

#include <sddl.h>

#include "base/system_error.h"

// mingw-w64's winerror.h lacks it; the Windows SDK's has it.
#ifndef ERROR_INVALID_LABEL
#define ERROR_INVALID_LABEL 1299L
#endif

namespace addmorvane {
namespace {

// The portable rule names the system's refusals by number: they must be the system's.
static_assert(kInvalidOwnerError == static_cast<unsigned long>(ERROR_INVALID_OWNER) &&
              kPrivilegeNotHeldError == static_cast<unsigned long>(ERROR_PRIVILEGE_NOT_HELD) &&
              kInvalidLabelError == static_cast<unsigned long>(ERROR_INVALID_LABEL));

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
  if (GetSecurityDescriptorControl(sd, &control, &revision)) {
    picture.isProtected = (control & SE_DACL_PROTECTED) != 0;
  }
  PACL dacl = nullptr;
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

// An ACL of the old descriptor's system entries that are carried over; empty when none is.
std::vector<unsigned char> LabelList(const std::vector<unsigned char>& descriptor,
                                     const std::wstring& action) {
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL sacl = nullptr;
  if (descriptor.empty() ||
      !GetSecurityDescriptorSacl(const_cast<unsigned char*>(descriptor.data()), &present, &sacl,
                                 &defaulted) ||
      !present || sacl == nullptr) {
    return {};
  }
  // The entries carried, in order: first measured, then copied.
  std::vector<unsigned char> list;
  for (const bool copy : {false, true}) {
    DWORD size = sizeof(ACL);
    for (DWORD index = 0; index < sacl->AceCount; ++index) {
      void* ace = nullptr;
      if (!GetAce(sacl, index, &ace)) {
        continue;  // an entry that cannot be read is not carried
      }
      auto* entry = static_cast<ACE_HEADER*>(ace);
      if (!CarriesSystemEntry(entry->AceType, entry->AceFlags)) {
        continue;
      }
      size += entry->AceSize;
      if (copy && !AddAce(reinterpret_cast<PACL>(list.data()), ACL_REVISION, MAXDWORD, entry,
                          entry->AceSize)) {
        throw SystemError(GetLastError(), action);
      }
    }
    if (size == sizeof(ACL)) {
      return {};
    }
    if (!copy) {
      list.resize(size);
      if (!InitializeAcl(reinterpret_cast<PACL>(list.data()), size, ACL_REVISION)) {
        throw SystemError(GetLastError(), action);
      }
    }
  }
  return list;
}

}  // namespace

NewFileSecurity::NewFileSecurity(const std::vector<unsigned char>& old,
                                 std::wstring_view fixedSddl,
                                 const std::wstring& action) {
  const AccessListPicture picture = PictureOf(old);
  source_ = ChooseNewAccess(picture) == NewAccess::KeepOld ? old : FromSddl(fixedSddl, action);
  label_ = LabelList(old, action);
  attributes_.nLength = sizeof(attributes_);
  attributes_.bInheritHandle = FALSE;
  if (!Build()) {
    throw SystemError(GetLastError(), action);
  }
}

bool NewFileSecurity::Build() {
  void* sd = source_.data();
  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  BOOL present = FALSE;
  BOOL daclDefaulted = FALSE;
  PACL dacl = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  constexpr SECURITY_DESCRIPTOR_CONTROL kKept = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
  if (!GetSecurityDescriptorOwner(sd, &owner, &ownerDefaulted) ||
      !GetSecurityDescriptorDacl(sd, &present, &dacl, &daclDefaulted) ||
      !GetSecurityDescriptorControl(sd, &control, &revision) ||
      !InitializeSecurityDescriptor(&absolute_, SECURITY_DESCRIPTOR_REVISION) ||
      (withOwner_ && !SetSecurityDescriptorOwner(&absolute_, owner, ownerDefaulted)) ||
      !SetSecurityDescriptorDacl(&absolute_, present, dacl, daclDefaulted) ||
      !SetSecurityDescriptorControl(&absolute_, kKept, control & kKept) ||
      (!label_.empty() && !SetSecurityDescriptorSacl(
                              &absolute_, TRUE, reinterpret_cast<PACL>(label_.data()), FALSE))) {
    return false;
  }
  attributes_.lpSecurityDescriptor = &absolute_;
  return true;
}

bool NewFileSecurity::Drop(SecurityPart part) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (part == SecurityPart::Owner && withOwner_ &&
      GetSecurityDescriptorOwner(source_.data(), &owner, &defaulted) && owner != nullptr) {
    withOwner_ = false;
  } else if (part == SecurityPart::Label && !label_.empty()) {
    label_.clear();
  } else {
    return false;
  }
  return Build();
}

}  // namespace addmorvane
