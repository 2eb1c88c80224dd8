// The DOS partition's check, timed as the launch script meets it: the console program started,
// its one line read from its stdout, its end waited for.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct CheckRuns {
  std::vector<double> ms;  // process creation to its end, each run
  double bytesRead = 0;    // as the check reports it
  double filesBytes = 0;   // the expected files' own bytes
  bool sound = true;       // every run ended as it should
};

// Runs `exe` `runs` times on `image`, with the kit's master copies in `folder` (made by
// tests/dospart/make-images); with no image, with no arguments.
CheckRuns RunCheck(const std::wstring& exe,
                   const std::wstring& folder,
                   const std::wstring& image,
                   int runs);

}  // namespace bench
