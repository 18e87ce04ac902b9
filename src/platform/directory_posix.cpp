#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "platform/directory.h"
#include "platform/os_error.h"

namespace platform {

namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

// A link is not followed: a folder walk must not loop through one.
bool names_directory(const std::string& folder, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
  struct stat status {};
  const std::string path = folder.empty() ? entry.d_name : folder + "/" + entry.d_name;
  return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

common::Result<std::vector<DirectoryEntry>> list_directory(const std::string& path) {
  const std::unique_ptr<DIR, DirectoryCloser> directory(
      ::opendir(path.empty() ? "." : path.c_str()));
  if (!directory) return std::unexpected(last_os_error());
  std::vector<DirectoryEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(directory.get());
    if (entry == nullptr) {
      if (errno != 0) return std::unexpected(last_os_error());
      break;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({name, names_directory(path, *entry)});
  }
  return entries;
}

}  // namespace platform
