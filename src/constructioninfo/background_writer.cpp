#include "constructioninfo/background_writer.h"

#include <new>

#include "platform/work_sizes.h"

namespace constructioninfo {

BackgroundWriter::BackgroundWriter(platform::OutputFile& file, std::size_t expected_bytes)
    : file_(file), on_thread_(expected_bytes >= platform::kWorthAWriterThread) {
  if (on_thread_) thread_ = std::thread([this] { write_pending(); });
}

BackgroundWriter::~BackgroundWriter() { (void)finish(); }

void BackgroundWriter::write_pending() {
  std::string writing;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return has_pending_ || stopping_; });
    if (!has_pending_) return;
    // The caller gets the emptied buffer of the last write back.
    std::swap(writing, pending_);
    has_pending_ = false;
    changed_.notify_all();
    if (!result_) {
      writing.clear();  // nothing is written after the first failure
      continue;
    }
    writing_ = true;
    lock.unlock();
    common::Result<void> written;
    try {
      written = file_.write(writing);
    } catch (const std::bad_alloc&) {
      written = std::unexpected(common::plain_error("Ran out of memory"));
    }
    writing.clear();
    lock.lock();
    writing_ = false;
    if (result_ && !written) result_ = std::move(written);
    changed_.notify_all();
  }
}

common::Result<void> BackgroundWriter::hand_over(std::string& buffer) {
  if (!on_thread_) {
    if (result_) result_ = file_.write(buffer);
    buffer.clear();
    return result_;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !has_pending_; });
  if (!result_) return result_;
  std::swap(buffer, pending_);
  buffer.clear();
  has_pending_ = true;
  changed_.notify_all();
  return {};
}

common::Result<void> BackgroundWriter::finish() {
  if (!on_thread_) return result_;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !has_pending_ && !writing_; });
    stopping_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return result_;
}

}  // namespace constructioninfo
