// Opening case files for reading. A path that names a directory does not
// open: it fails like any other file that cannot be opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "platform/native_file.h"

namespace platform {

// What a path may name to open.
enum class Accept {
  // Anything that reads: the case file, which the user names and may give
  // as a pipe (`<(...)`, /dev/stdin).
  AnyReadable,
  // Only a regular file: a file that a case names. A pipe or a device
  // there could stall the run or feed it without end, so it is opened
  // without waiting and refused before anything is read, with the error
  // "Not a regular file: a pipe" (or "a device", "a socket").
  RegularFileOnly,
  // A regular file or a pipe, never a device or a socket: a file that the
  // user names to be read once (a case file given as /dev/stdin or
  // `<(...)`), where a device could feed the run without end.
  RegularFileOrPipe,
};

// A file open for reading, closed when the value goes away.
class InputFile {
 public:
  // Opens `path` (bytes as typed; WTF-8 on Windows); the error is the
  // system's, the NUL error of check_no_nul, or the one of `accept`.
  static common::Result<InputFile> open(const std::string& path,
                                        Accept accept = Accept::AnyReadable);

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
  static common::Result<InputFile> open_native(const std::string& path, Accept accept);
  // The refusal of a file that is not regular; `what` says what it is
  // instead ("a pipe").
  static common::RunError not_regular(std::string_view what);
  explicit InputFile(NativeFile file) : file_(file) {}
  NativeFile file_ = kNoFile;
  // The size found when the file was opened, where the check at opening
  // already asked for it (POSIX): asking again would cost a system call.
  std::size_t size_at_open_ = 0;
};

// The size of the regular file at `path`, asked without opening it (so a
// pipe or a device is not disturbed); 0 for anything else or when the
// system does not tell. A hint for planning the work, never a limit.
std::size_t file_size_hint(const std::string& path);

// The rest of `file` as bytes; fails with "larger than N bytes" rather
// than read more than `most` bytes.
common::Result<std::string> read_rest(InputFile& file, std::size_t most = SIZE_MAX);

// The whole content of `path` as bytes, opened as `accept` says; fails
// with "larger than N bytes" rather than read more than `most` bytes.
common::Result<std::string> read_whole_file(const std::string& path,
                                            Accept accept = Accept::AnyReadable,
                                            std::size_t most = SIZE_MAX);

}  // namespace platform
