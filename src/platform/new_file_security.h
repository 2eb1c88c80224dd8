// The security a file that replaces another is created with, so that it is protected from its
// first byte: the old file's owner and access list where someone set them on purpose, a fixed
// list otherwise (the choice is files/new_access.h).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace addmorvane {

class NewFileSecurity {
 public:
  // `old`: the old file's owner and DACL, self-relative; empty when there is no old file.
  // `fixedSddl`: the list to use otherwise. Throws SystemError(code, action) when that list
  // cannot be built.
  NewFileSecurity(std::vector<unsigned char> old,
                  std::wstring_view fixedSddl,
                  const std::wstring& action);
  NewFileSecurity(const NewFileSecurity&) = delete;
  NewFileSecurity& operator=(const NewFileSecurity&) = delete;

  // For CreateFileW: the owner and the access list.
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

  // Setting an owner other than oneself needs a privilege, and a system may refuse it
  // (ERROR_INVALID_OWNER); the access list alone is what protects the file. Makes
  // attributes() name no owner; false when it named none already.
  bool DropOwner();

 private:
  std::vector<unsigned char> descriptor_;  // self-relative
  SECURITY_DESCRIPTOR withoutOwner_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace addmorvane
