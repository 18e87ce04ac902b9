// Writing a file on a thread of its own: the caller fills the next buffer
// while the last one is written, so formatting and the system's writing
// share two cores. A short document is written on the caller's thread.
// Bytes reach the file in the order they were handed over; after the first
// write error nothing more is written.
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
  // Writes on a thread of its own when `expected_bytes`, the document's
  // foreseen length, reaches kWorthAWriterThread; on the caller's thread
  // otherwise.
  BackgroundWriter(platform::OutputFile& file, std::size_t expected_bytes);
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
  bool on_thread_ = false;
  common::Result<void> result_;
  std::thread thread_;
};

}  // namespace constructioninfo
