// A long margin array in a case file, read ahead on every core. The array
// is cut at element starts into stretches, and each stretch's points that
// take the usual form are read on a core of their own; the one reader that
// walks the whole text then takes a stretch's points as a whole when it
// arrives exactly where the stretch began, and reads everything else (an
// unusual point, a fault, the array's end) itself. Since the stretch was
// read by the very function that reader would call (read_usual_point),
// taking it changes nothing but who did the work, and faults are still
// met in reading order.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "qfm/case_metadata.h"

namespace qfm {

// Points read from `start` (an element's first character) on: each in the
// usual form, separated by commas, up to `end` (the position after the
// last one).
struct PointStretch {
  std::size_t start = 0;
  std::size_t end = 0;
  PointList points;
};

class PointsAhead {
 public:
  // The stretches' room is the one the last array read on this thread
  // left: touched once, it costs no page faults again, whatever the number
  // of arrays in a case.
  explicit PointsAhead(std::string_view text);
  ~PointsAhead();
  PointsAhead(const PointsAhead&) = delete;
  PointsAhead& operator=(const PointsAhead&) = delete;

  // The points read ahead from `position`, the start of an element of the
  // array that `array_start` (its first element) begins, when there are
  // any: a whole window of the array is read ahead on every core the first
  // time it is asked for. Null for a short array: threads would cost more
  // than they save. The stretch is valid until the next call.
  PointStretch* at(std::size_t array_start, std::size_t position) {
    // Decided once an array: asked at every point of a short one.
    if (nothing_ahead_) return nullptr;
    return stretch_at(array_start, position);
  }

  // The room that a list of `have` points, `capacity` its room now, wants
  // before it takes the stretch that `at` gave and the later ones of its
  // window: exactly enough when the window reaches the array's seeming end,
  // else enough for the whole array at the window's density of points, and
  // at least half as much again, so that a long array's list is copied
  // only a few times as it grows. (Room beyond the points is not free: the
  // list lies on huge pages, which the system fills whole.)
  std::size_t room_for(std::size_t have, std::size_t capacity) const;

 private:
  PointStretch* stretch_at(std::size_t array_start, std::size_t position);
  void read_window(std::size_t array_start, std::size_t position);

  std::string_view text_;
  std::optional<std::size_t> array_end_;  // where the array seems to end
  std::size_t window_start_ = 0;
  std::size_t window_end_ = 0;
  bool window_is_last_ = false;
  std::vector<PointStretch> stretches_;
  std::size_t next_ = 0;
  // The array is short, or reading has passed its seeming end: no point
  // of it from here on is read ahead.
  bool nothing_ahead_ = false;
};

}  // namespace qfm
