#include <sys/stat.h>

#include "platform/file_identity.h"

namespace platform {

std::optional<FileIdentity> identity_of(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace platform
