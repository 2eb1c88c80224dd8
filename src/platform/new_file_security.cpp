#include "platform/new_file_security.h"

#include <sddl.h>

#include <cstddef>

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
  PACL sacl = nullptr;
  if (GetSecurityDescriptorSacl(sd, &present, &sacl, &defaulted) && present && sacl != nullptr) {
    for (DWORD index = 0; index < sacl->AceCount; ++index) {
      void* ace = nullptr;
      // An entry that cannot be read is not carried.
      const auto* header =
          GetAce(sacl, index, &ace) ? static_cast<const ACE_HEADER*>(ace) : nullptr;
      picture.systemEntries.push_back(header != nullptr
                                          ? SystemEntryPicture{header->AceType, header->AceFlags}
                                          : SystemEntryPicture{0, kInheritedEntry});
    }
  }
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

// An ACL of the old descriptor's system entries at `places`; empty when there are none.
std::vector<unsigned char> LabelList(const std::vector<unsigned char>& descriptor,
                                     const std::vector<std::size_t>& places,
                                     const std::wstring& action) {
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL sacl = nullptr;
  std::vector<const ACE_HEADER*> entries;
  DWORD size = sizeof(ACL);
  if (!places.empty() && GetSecurityDescriptorSacl(const_cast<unsigned char*>(descriptor.data()),
                                                   &present, &sacl, &defaulted)) {
    for (const std::size_t place : places) {
      void* ace = nullptr;
      if (GetAce(sacl, static_cast<DWORD>(place), &ace)) {
        entries.push_back(static_cast<const ACE_HEADER*>(ace));
        size += entries.back()->AceSize;
      }
    }
  }
  if (entries.empty()) {
    return {};
  }
  std::vector<unsigned char> list(size);
  auto* acl = reinterpret_cast<PACL>(list.data());
  bool built = InitializeAcl(acl, size, ACL_REVISION) != FALSE;
  for (const ACE_HEADER* entry : entries) {
    built = built && AddAce(acl, ACL_REVISION, MAXDWORD, const_cast<ACE_HEADER*>(entry),
                            entry->AceSize) != FALSE;
  }
  if (!built) {
    throw SystemError(GetLastError(), action);
  }
  return list;
}

}  // namespace

NewFileSecurity::NewFileSecurity(const std::vector<unsigned char>& old,
                                 std::wstring_view fixedSddl,
                                 const std::wstring& action) {
  const AccessListPicture picture = PictureOf(old);
  source_ = ChooseNewAccess(picture) == NewAccess::KeepOld ? old : FromSddl(fixedSddl, action);
  label_ = LabelList(old, LabelEntriesToCarry(picture), action);
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
