// The names in a folder, for the programs that look at more than the
// files they are given (the case checker's folder walk and its STL look-up).
#pragma once

#include <string>
#include <vector>

#include "common/run_error.h"

namespace platform {

struct DirectoryEntry {
  std::string name;           // the final name alone (WTF-8 on Windows)
  bool is_directory = false;  // a folder itself, not a link to one
};

// The entries of the folder at `path` ("" is the working folder), "." and
// ".." left out, in the system's order. Fails with the system's error.
common::Result<std::vector<DirectoryEntry>> list_directory(const std::string& path);

}  // namespace platform
