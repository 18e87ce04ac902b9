// The case files that the command line names: a case file as given, or
// every case file (*.json, any letter case) below a folder.
#pragma once

#include <string>
#include <vector>

#include "check/check_case.h"

namespace check {

struct CaseFileEntry {
  std::string path;
  CaseOrigin origin = CaseOrigin::Named;
};

// The case files of `paths` in their order; each folder's in path order
// (bytewise), its subfolders' included. A path that is no folder is a
// case file as given, whose reading then reports why it does not read; a
// folder below that does not list is a case file met in the walk (so a
// finding). A file named ".json" alone has no case name and is no case.
std::vector<CaseFileEntry> case_files(const std::vector<std::string>& paths);

}  // namespace check
