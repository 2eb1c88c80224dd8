#include "launch/win32/file_security.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <memory>

namespace addmorvane {
namespace {

struct LocalDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

std::wstring SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (sid == nullptr || !IsValidSid(sid) || !ConvertSidToStringSidW(sid, &text)) {
    return {};
  }
  const std::unique_ptr<void, LocalDeleter> owned(text);
  return text;
}

// Where the SID starts in an entry of the given type; 0 for a type without one we know.
// Object entries carry up to two GUIDs before it, each present only when its flag says so.
DWORD SidOffset(const ACE_HEADER& header) {
  constexpr DWORD plain = offsetof(ACCESS_ALLOWED_ACE, SidStart);
  switch (header.AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
      return plain;
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: {
      const auto& object = reinterpret_cast<const ACCESS_ALLOWED_OBJECT_ACE&>(header);
      DWORD offset = offsetof(ACCESS_ALLOWED_OBJECT_ACE, ObjectType);
      if ((object.Flags & ACE_OBJECT_TYPE_PRESENT) != 0) {
        offset += sizeof(GUID);
      }
      if ((object.Flags & ACE_INHERITED_OBJECT_TYPE_PRESENT) != 0) {
        offset += sizeof(GUID);
      }
      return offset;
    }
    default:
      return 0;
  }
}

EntryKind KindOf(BYTE aceType) {
  switch (aceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
      return EntryKind::Allow;
    case ACCESS_DENIED_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
      return EntryKind::Deny;
    default:
      return EntryKind::Other;
  }
}

AccessEntry EntryOf(const ACE_HEADER& header) {
  AccessEntry entry;
  entry.kind = KindOf(header.AceType);
  entry.flags = header.AceFlags;
  // Every entry that grants or denies starts with its access mask after the header.
  entry.mask = reinterpret_cast<const ACCESS_ALLOWED_ACE&>(header).Mask;
  const DWORD offset = SidOffset(header);
  const BYTE* sid = reinterpret_cast<const BYTE*>(&header) + offset;
  const bool sidFits =
      offset != 0 && offset + sizeof(SID) <= header.AceSize &&
      offset + GetSidLengthRequired(reinterpret_cast<const SID*>(sid)->SubAuthorityCount) <=
          header.AceSize;
  if (sidFits) {
    entry.sid = SidText(const_cast<BYTE*>(sid));
  }
  // An allow entry for nobody the program can name may grant anyone anything.
  if (entry.sid.empty() && entry.kind == EntryKind::Allow) {
    entry.kind = EntryKind::Other;
  }
  return entry;
}

}  // namespace

SecuritySummary SummarizeSecurityDescriptor(const void* descriptor) {
  SecuritySummary summary;
  auto* sd = const_cast<void*>(descriptor);
  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  if (GetSecurityDescriptorOwner(sd, &owner, &ownerDefaulted)) {
    summary.owner = SidText(owner);
  }
  BOOL present = FALSE;
  BOOL daclDefaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(sd, &present, &dacl, &daclDefaulted) || !present ||
      dacl == nullptr) {
    return summary;
  }
  summary.hasDacl = true;
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* ace = nullptr;
    if (!GetAce(dacl, index, &ace)) {
      // An entry that cannot be read may be one that grants.
      summary.entries.push_back({EntryKind::Other, 0, {}, 0});
      continue;
    }
    summary.entries.push_back(EntryOf(*static_cast<const ACE_HEADER*>(ace)));
  }
  return summary;
}

unsigned long ReadFileSecurity(const std::wstring& path, SecuritySummary& summary) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error = GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                            nullptr, nullptr, nullptr, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  const std::unique_ptr<void, LocalDeleter> owned(descriptor);
  summary = SummarizeSecurityDescriptor(descriptor);
  return ERROR_SUCCESS;
}

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return {};
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::unique_ptr<BYTE[]> buffer(new BYTE[size != 0 ? size : 1]);
  std::wstring sid;
  if (size != 0 && GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) {
    sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid);
  }
  CloseHandle(token);
  return sid;
}

std::wstring AccountName(const std::wstring& sid) {
  PSID binary = nullptr;
  if (!ConvertStringSidToSidW(sid.c_str(), &binary)) {
    return sid;
  }
  const std::unique_ptr<void, LocalDeleter> owned(binary);
  wchar_t name[256];
  wchar_t domain[256];
  DWORD nameLength = 256;
  DWORD domainLength = 256;
  SID_NAME_USE use{};
  if (!LookupAccountSidW(nullptr, binary, name, &nameLength, domain, &domainLength, &use)) {
    return sid;
  }
  return domainLength == 0 ? std::wstring(name) : std::wstring(domain) + L"\\" + name;
}

}  // namespace addmorvane
