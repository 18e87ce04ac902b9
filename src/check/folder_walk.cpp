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

void gather(const std::string& folder, std::vector<std::string>& found) {
  const auto entries = platform::list_directory(folder);
  if (!entries) {
    found.push_back(folder);
    return;
  }
  for (const platform::DirectoryEntry& entry : *entries) {
    std::string path = platform::join(folder, entry.name, platform::kHostPathRules);
    if (entry.is_directory) {
      gather(path, found);
    } else if (is_case_file_name(entry.name)) {
      found.push_back(std::move(path));
    }
  }
}

}  // namespace

std::vector<std::string> case_files(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    // A path that lists is a folder; anything else is taken for a case file.
    if (!platform::list_directory(path)) {
      files.push_back(path);
      continue;
    }
    std::vector<std::string> below;
    gather(path, below);
    std::sort(below.begin(), below.end());
    files.insert(files.end(), below.begin(), below.end());
  }
  return files;
}

}  // namespace check
