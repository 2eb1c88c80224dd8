#include "runscript/win32/write_run_script.h"

#include <string>

#include "platform/ansi.h"
#include "files/win32/file_replace.h"
#include "runscript/script_bytes.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

void WriteRunScript(std::wstring_view commandLine) {
  ReplaceFileContents(std::wstring(kRunScriptPath), RunScriptBytes(ToAnsi(commandLine)),
                      kRunScriptAccess);
}

}  // namespace addmorvane
