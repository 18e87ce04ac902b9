#include "platform/input_file.h"

#include <algorithm>
#include <utility>

#include "platform/large_memory.h"
#include "platform/path_text.h"

namespace platform {

common::Result<InputFile> InputFile::open(const std::string& path, Accept accept) {
  if (auto checked = check_no_nul(path); !checked) return std::unexpected(checked.error());
  return open_native(path, accept);
}

common::RunError InputFile::not_regular(std::string_view what) {
  return common::plain_error("Not a regular file: " + std::string(what));
}

InputFile::InputFile(InputFile&& other) noexcept
    : file_(std::exchange(other.file_, kNoFile)), size_at_open_(other.size_at_open_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  std::swap(file_, other.file_);
  std::swap(size_at_open_, other.size_at_open_);
  return *this;
}

common::Result<std::string> read_whole_file(const std::string& path, Accept accept,
                                            std::size_t most) {
  auto file = InputFile::open(path, accept);
  if (!file) return std::unexpected(file.error());
  return read_rest(*file, most);
}

common::Result<std::string> read_rest(InputFile& file, std::size_t most) {
  // Sized once from the file's own size (one spare byte lets the read that
  // finds the end happen without growing the text), and read straight into
  // the new room: nothing is written there before the file's bytes.
  std::string content;
  std::size_t room = std::min(file.size_hint(), most) + 1;
  std::size_t filled = 0;
  for (;;) {
    common::Result<std::size_t> count = 0;
    content.resize_and_overwrite(room, [&](char* text, std::size_t) {
      if (filled == 0) advise_large_buffer(text, room);
      count = file.read(text + filled, room - filled);
      if (count) filled += *count;
      return filled;
    });
    if (!count) return std::unexpected(count.error());
    if (*count == 0) return content;
    if (filled > most) {
      return std::unexpected(
          common::plain_error("larger than " + std::to_string(most) + " bytes: not read"));
    }
    if (filled == room) room = std::min(room, most / 2) * 2 + 1;
  }
}

}  // namespace platform
