// The checks of our small Win32 test programs: each failed check prints one
// "FAIL what: detail" line, and the run ends with "N passed, M failed".
#pragma once

#include <cstdio>
#include <string>

inline int checksPassed = 0;
inline int checksFailed = 0;

inline void Check(bool ok, const std::string& what, const std::string& detail = "") {
  if (ok) {
    ++checksPassed;
    return;
  }
  ++checksFailed;
  std::printf("FAIL %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
}

// The closing line; the program's exit status.
inline int ChecksDone() {
  std::printf("%d passed, %d failed\n", checksPassed, checksFailed);
  return checksFailed == 0 ? 0 : 1;
}
