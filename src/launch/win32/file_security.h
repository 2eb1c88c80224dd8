// A file's owner and DACL as the plain picture that the trust rule judges, and the names of
// the principals it mentions.
#pragma once

#include <string>

#include "launch/file_trust.h"

namespace addmorvane {

// The plain picture of a security descriptor in memory (a SECURITY_DESCRIPTOR, absolute or
// self-relative).
SecuritySummary SummarizeSecurityDescriptor(const void* descriptor);

// Reads the owner and DACL of a file or folder; returns the system's error number, 0 when
// `summary` was filled.
unsigned long ReadFileSecurity(const std::wstring& path, SecuritySummary& summary);

// The SID of the user this process runs as ("S-1-5-21-..."); empty if it cannot be read.
std::wstring CurrentUserSid();

// "DOMAIN\name" for a SID string, or the SID string itself when the system knows no name.
std::wstring AccountName(const std::wstring& sid);

}  // namespace addmorvane
