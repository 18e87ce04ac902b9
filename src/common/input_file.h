// Opening case files for reading. A path that names a directory does not
// open: it fails like any other file that cannot be opened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/run_error.h"

namespace common {

// A file open for reading, closed when the value goes away.
class InputFile {
 public:
  // Opens `path` (bytes as typed); the error is the system's.
  static Result<InputFile> open(const std::string& path);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Reads up to `size` bytes; 0 at the end of the file.
  Result<std::size_t> read(char* buffer, std::size_t size);

 private:
  explicit InputFile(int descriptor) : descriptor_(descriptor) {}
  int descriptor_ = -1;
};

// The whole content of `path` as bytes.
Result<std::string> read_whole_file(const std::string& path);

}  // namespace common
