// Another program that holds a file open: a process of its own (file_holder.exe, beside the
// test program), as an editor, an indexer or another copy of the program would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace addmorvane::wintest {

class FileHolder {
 public:
  FileHolder() = default;
  ~FileHolder() { Release(); }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  // Starts the holder and returns once it has the file open with `access` and `share`.
  ::testing::AssertionResult Hold(const std::wstring& path,
                                  DWORD access,
                                  DWORD share,
                                  DWORD disposition = OPEN_EXISTING);
  // Tells the holder to close the file and waits until its process has ended.
  void Release();
  bool holding() const { return process_ != nullptr; }

 private:
  HANDLE process_ = nullptr;
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
};

}  // namespace addmorvane::wintest
