#include "check/folder_walk.h"

#include <algorithm>

#include "platform/directory.h"
#include "platform/file_name.h"

namespace check {

namespace {

bool is_case_file_name(std::string_view name) {
  constexpr std::string_view kExtension = ".json";
  if (name.size() <= kExtension.size()) return false;
  const std::string_view end = name.substr(name.size() - kExtension.size());
  return std::equal(end.begin(), end.end(), kExtension.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

void gather(const std::string& folder, std::vector<CaseFileEntry>& found) {
  const auto entries = platform::list_directory(folder);
  if (!entries) {
    found.push_back({folder, CaseOrigin::Walked});
    return;
  }
  for (const platform::DirectoryEntry& entry : *entries) {
    std::string path = platform::join(folder, entry.name, platform::kHostPathRules);
    if (entry.is_directory) {
      gather(path, found);
    } else if (is_case_file_name(entry.name)) {
      found.push_back({std::move(path), CaseOrigin::Walked});
    }
  }
}

}  // namespace

std::vector<CaseFileEntry> case_files(const std::vector<std::string>& paths) {
  std::vector<CaseFileEntry> files;
  for (const std::string& path : paths) {
    // A path that lists is a folder; anything else is taken for a case
    // file. An empty path names no file (the system would take it for the
    // working folder).
    if (path.empty() || !platform::list_directory(path)) {
      files.push_back({path, CaseOrigin::Named});
      continue;
    }
    std::vector<CaseFileEntry> below;
    gather(path, below);
    std::sort(below.begin(), below.end(),
              [](const CaseFileEntry& a, const CaseFileEntry& b) { return a.path < b.path; });
    files.insert(files.end(), below.begin(), below.end());
  }
  return files;
}

}  // namespace check
