// What stands at a file's name, judged from the attributes and reparse tag read through a
// handle opened on the name itself, without following a link: only a plain file is written.
#pragma once

#include <cstdint>

namespace addmorvane {

// File attribute bits, as Windows defines them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x0001;
inline constexpr std::uint32_t kAttributeDirectory = 0x0010;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x0400;

enum class AtName {
  File,          // a file the program may replace or rewrite
  ReadOnlyFile,  // its owner asked for it to stay as it is
  Folder,
  Link,  // a symbolic link, a junction or an app execution alias: it stands for another name
};

AtName JudgeWhatIsAtName(std::uint32_t attributes, std::uint32_t reparseTag);

}  // namespace addmorvane
