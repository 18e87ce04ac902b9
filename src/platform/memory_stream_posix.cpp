#include <stdio.h>

#include "platform/memory_stream.h"
#include "platform/os_error.h"

namespace platform {

common::Result<MemoryStream> open_memory_stream(std::string_view bytes) {
  // fmemopen only reads here, so the cast away from const is never written
  // through.
  std::FILE* stream = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (stream == nullptr) return std::unexpected(last_os_error());
  return MemoryStream(stream);
}

}  // namespace platform
