// A C stream (FILE*) that reads bytes already in memory, for a library
// that reads only through stdio (the STL reader behind src/mesh). The
// library then reads exactly the bytes that were checked before it, never
// the file again: a file changed, cut or swapped for a pipe in between
// cannot reach it, and no path of ours goes through the C library's
// narrow-character open (which on Windows cannot name every file).
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "common/run_error.h"

namespace platform {

struct MemoryStreamClose {
  void operator()(std::FILE* stream) const noexcept { std::fclose(stream); }
};
using MemoryStream = std::unique_ptr<std::FILE, MemoryStreamClose>;

// A stream open for binary reading at the first of `bytes`. `bytes` must
// not be empty, and must outlive the stream on POSIX systems (fmemopen
// reads them in place); on Windows they are copied into a temporary file
// that the system deletes when the stream closes. The error is the system's.
common::Result<MemoryStream> open_memory_stream(std::string_view bytes);

}  // namespace platform
