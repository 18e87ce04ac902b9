// Opening case files for reading. A path that names a directory does not
// open: it fails like any other file that cannot be opened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "platform/native_file.h"

namespace platform {

// A file open for reading, closed when the value goes away.
class InputFile {
 public:
  // Opens `path` (bytes as typed; WTF-8 on Windows); the error is the
  // system's, or the NUL error of check_no_nul.
  static common::Result<InputFile> open(const std::string& path);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Reads up to `size` bytes; 0 at the end of the file.
  common::Result<std::size_t> read(char* buffer, std::size_t size);

  // The file's size when the system knows it (a regular file), else 0: a
  // hint for sizing a whole-file read, never a limit.
  std::size_t size_hint() const;

 private:
  // The platform's open, after the checks that hold everywhere.
  static common::Result<InputFile> open_native(const std::string& path);
  explicit InputFile(NativeFile file) : file_(file) {}
  NativeFile file_ = kNoFile;
};

// The size of the regular file at `path`, asked without opening it (so a
// pipe or a device is not disturbed); 0 for anything else or when the
// system does not tell. A hint for planning the work, never a limit.
std::size_t file_size_hint(const std::string& path);

// The whole content of `path` as bytes.
common::Result<std::string> read_whole_file(const std::string& path);

}  // namespace platform
