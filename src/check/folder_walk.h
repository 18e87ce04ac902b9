// The case files that the command line names: a case file as given, or
// every case file (*.json) below a folder.
#pragma once

#include <string>
#include <vector>

namespace check {

// The case files of `paths` in their order; each folder's in path order
// (bytewise), its subfolders' included. A folder that does not list is
// given as a case file, whose reading then reports why.
std::vector<std::string> case_files(const std::vector<std::string>& paths);

}  // namespace check
