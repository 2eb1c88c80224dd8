// The security a file that replaces another is created with, so that it is protected from its
// first byte: the old file's owner and access list where someone set them on purpose, a fixed
// list otherwise, and the old file's own integrity label (the choices are files/new_access.h).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "files/new_access.h"

namespace addmorvane {

class NewFileSecurity {
 public:
  // `old`: the old file's owner, DACL and label, self-relative; empty when there is no old
  // file. `fixedSddl`: the list to use otherwise. Throws SystemError(code, action) when the
  // security cannot be built.
  NewFileSecurity(const std::vector<unsigned char>& old,
                  std::wstring_view fixedSddl,
                  const std::wstring& action);
  NewFileSecurity(const NewFileSecurity&) = delete;
  NewFileSecurity& operator=(const NewFileSecurity&) = delete;

  // For CreateFileW: the owner, the access list and the label.
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

  // Makes attributes() leave out `part`, which the system refused; false when there is
  // nothing more to leave out, and the refusal stands.
  bool Drop(SecurityPart part);

 private:
  // Points attributes() at the parts still wanted; false when the system cannot join them.
  bool Build();

  std::vector<unsigned char> source_;  // self-relative: the owner and the access list
  std::vector<unsigned char> label_;   // an ACL of the label entries carried over, or empty
  bool withOwner_ = true;
  SECURITY_DESCRIPTOR absolute_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace addmorvane
