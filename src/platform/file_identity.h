// Telling two paths of one file apart from two files: by the file system's
// own identity of a file, whatever the spelling ("./", links, a second
// hard link) that reached it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The device and inode on POSIX systems; the volume serial number and the
// file index on Windows.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file on disk at `path`, every link followed; none
// when nothing is there or what is there is no file on disk (a terminal,
// a pipe, a device, a folder): those are never the same document twice.
std::optional<FileIdentity> identity_of(const std::string& path);

}  // namespace platform
