// Writing a file so that a failure never leaves it torn: the bytes go to a
// temporary file beside the target, which replaces the target only once
// everything is written. Targets that are not regular files (a terminal,
// a pipe, a device) are written in place.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "platform/file_identity.h"

namespace platform {

class OutputFile {
 public:
  // The platform's handles and names, defined beside its code; opaque here.
  struct State;

  // Prepares writing to `path`. Fails, with the system's error and without
  // changing anything, when the target could not be created or opened for
  // writing (its directory missing, no permission, a directory there),
  // and when it is one of `inputs`, the files that the run read: an output
  // written over the case it came from would lose that case.
  static common::Result<OutputFile> create(const std::string& path,
                                           std::span<const FileIdentity> inputs = {});

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Without a successful commit, removes the temporary file: the target
  // stays as it was.
  ~OutputFile();

  common::Result<void> write(std::string_view bytes);
  // Flushes, closes and moves the written file into place.
  common::Result<void> commit();

 private:
  // The platform's create, after the checks that hold everywhere.
  static common::Result<OutputFile> create_native(const std::string& path);
  explicit OutputFile(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace platform
