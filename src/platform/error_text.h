#pragma once

#include <string>

namespace addmorvane {

// The system's own description of an error number, in the user's language, without the
// trailing line end; a plain placeholder when the system has none.
std::wstring SystemMessageText(unsigned long code);

// The full text of a failure report: the error number, the system's text and the action.
std::wstring FailureReportText(unsigned long code, const std::wstring& action);

}  // namespace addmorvane
