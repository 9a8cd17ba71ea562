// A path given on the command line under Wine: Wine maps the Unix root to
// drive Z:, and Windows wants backslashes.
#pragma once

#include <string>

inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}
