// The names of the temporary files that carry a file's new content until it replaces the
// file: "<file>.<16 lower-case hex digits>.tmp" in the file's own folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace addmorvane {

std::wstring TemporaryNameFor(const std::wstring& path, std::uint64_t token);

// Whether `fileName` (a name in the folder of `path`, without the folder) has the pattern of
// `path`'s temporary files.
bool IsTemporaryNameOf(const std::wstring& path, std::wstring_view fileName);

// A token that differs from the last one taken in this process and, most likely, from any other
// process's.
std::uint64_t RandomNameToken();

// Removes the temporary files of `path` that writes cut short have left: only plain files of
// the pattern that can be opened without sharing (no writer holds them) and may be deleted.
// Anything else is left alone; nothing here fails the write.
void RemoveLeftoverTemporaries(const std::wstring& path);

}  // namespace addmorvane
