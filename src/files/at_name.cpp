#include "files/at_name.h"

namespace addmorvane {
namespace {

// Set in the tag of every reparse point that stands for another name (symbolic links,
// junctions), which an ordinary open follows.
constexpr std::uint32_t kNameSurrogateBit = 0x20000000;
// An app execution alias is no name surrogate, but it names a program to start instead of
// holding content of its own: a link all the same, and never what the script should be.
constexpr std::uint32_t kAppExecLinkTag = 0x8000001B;

}  // namespace

AtName JudgeWhatIsAtName(std::uint32_t attributes, std::uint32_t reparseTag) {
  // The tag means something only where the attributes say there is a reparse point. Other
  // tags (compressed, deduplicated, cloud files) keep the file's own content: a plain file.
  const bool reparse = (attributes & kAttributeReparsePoint) != 0;
  if (reparse && ((reparseTag & kNameSurrogateBit) != 0 || reparseTag == kAppExecLinkTag)) {
    return AtName::Link;
  }
  if ((attributes & kAttributeDirectory) != 0) {
    return AtName::Folder;
  }
  if ((attributes & kAttributeReadOnly) != 0) {
    return AtName::ReadOnlyFile;
  }
  return AtName::File;
}

}  // namespace addmorvane
