#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// A mount point as /proc/self/mountinfo writes it, with "\040" and the
// like for blanks, read back.
std::string unescaped(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// The mount points at or under `folder`, deepest first.
std::vector<std::string> mounts_under(const std::string& folder) {
  std::vector<std::string> found;
  std::ifstream table("/proc/self/mountinfo");
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    fields >> id >> parent >> device >> root >> point;
    point = unescaped(point);
    if (point == folder || point.starts_with(folder + "/")) found.push_back(point);
  }
  std::sort(found.begin(), found.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return found;
}

}  // namespace

int process_id() { return static_cast<int>(::getpid()); }

void remove_tree(const fs::path& path) {
  if (path.empty()) return;
  std::error_code error;
  const fs::path real = fs::weakly_canonical(path, error);
  // Only below a folder of its own: "/" would take every mount with it.
  if (!error && real.has_relative_path()) {
    for (const std::string& point : mounts_under(real.string())) {
      ::umount2(point.c_str(), MNT_DETACH);
    }
  }
  fs::remove_all(path, error);
}

}  // namespace testing_support
