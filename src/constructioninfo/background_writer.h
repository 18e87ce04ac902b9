// Writing a file on a thread of its own: the caller fills the next buffer
// while the last one is written, so formatting and the system's writing
// share two cores. Bytes reach the file in the order they were handed
// over; after the first write error nothing more is written.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "common/run_error.h"
#include "platform/output_file.h"

namespace constructioninfo {

class BackgroundWriter {
 public:
  explicit BackgroundWriter(platform::OutputFile& file);
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;
  // Waits for the thread; what is still pending is written first.
  ~BackgroundWriter();

  // Takes the bytes of `buffer` for writing and leaves an empty buffer
  // there (one written before, so its memory is reused). Fails with the
  // first write error met so far; the bytes are then not taken.
  common::Result<void> hand_over(std::string& buffer);

  // Waits until everything handed over is written; the first write error.
  common::Result<void> finish();

 private:
  void write_pending();

  platform::OutputFile& file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string pending_;
  bool has_pending_ = false;
  bool writing_ = false;
  bool stopping_ = false;
  // Bytes written on the caller's thread before the first that a thread
  // takes; only the caller's thread reads and sets these two.
  static constexpr std::size_t kWorthAThread = 1 << 20;
  std::size_t written_alone_ = 0;
  bool started_ = false;
  common::Result<void> result_;
  std::thread thread_;
};

}  // namespace constructioninfo
