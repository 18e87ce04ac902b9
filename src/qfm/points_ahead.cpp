#include "qfm/points_ahead.h"

#include <algorithm>

#include "json/reader.h"
#include "platform/parallel.h"
#include "qfm/point_reader.h"

namespace qfm {

namespace {

// A margin array in the case file is read ahead on every core once it
// seems this long (about 30 000 points, some milliseconds of reading) ...
constexpr std::size_t kWorthReadingPointsSideBySide = 1024 * 1024;
// ... a window of this much text at a time, so that the points read ahead
// but not yet taken (about 3 MiB of them) stay few whatever the array's
// length, cut into this many stretches per core, so that a core that
// finishes early takes another.
constexpr std::size_t kPointsAheadWindow = 4 * 1024 * 1024;
constexpr std::size_t kStretchesPerCore = 4;

// The fewest characters of a usual point and its comma, in each form:
// {"x":0,"y":0,"z":0}, and [0,0,0], to make room for a stretch's points
// before it is read.
constexpr std::size_t kFewestObjectPointBytes = 20;
constexpr std::size_t kFewestArrayPointBytes = 8;

bool is_json_white_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Where the array whose first element begins at `first` seems to end: at
// its first "]" when the points are objects (which hold none), at the
// first "]" that follows another when they are arrays. A guess that only
// spares reading ahead past the array; a wrong one costs time, not truth.
std::size_t seeming_end(std::string_view text, std::size_t first) {
  if (text[first] == '{') return std::min(text.find(']', first), text.size());
  if (text[first] != '[') return first;
  for (std::size_t close = text.find(']', first); close != std::string_view::npos;
       close = text.find(']', close + 1)) {
    std::size_t next = close + 1;
    while (next < text.size() && is_json_white_space(text[next])) ++next;
    if (next < text.size() && text[next] == ']') return next;
  }
  return text.size();
}

// Reads usual points from `stretch.start` on, as the array reader would:
// a point, a comma, the next point, ... It stops before whatever else comes
// (the reader reads that itself) and at the first element at or past
// `limit`, where the next stretch begins.
void read_stretch(std::string_view text, std::size_t limit, PointStretch& stretch) {
  json::Reader reader(text);
  stretch.points.clear();
  stretch.end = stretch.start;
  for (std::size_t element = stretch.start;;) {
    reader.rewind(element);
    const auto point = read_usual_point(reader);
    if (!point) return;
    stretch.points.push_back(*point);
    stretch.end = reader.position();
    if (reader.peek_after_white_space() != ',') return;
    reader.take();
    const auto next = reader.peek_after_white_space();
    if (!next || *next == ']') return;
    element = reader.position();
    if (element >= limit) return;
  }
}

// The stretches of the last array read ahead on this thread.
std::vector<PointStretch>& spare_stretches() {
  thread_local std::vector<PointStretch> spare;
  return spare;
}

}  // namespace

PointsAhead::PointsAhead(std::string_view text)
    : text_(text), stretches_(std::move(spare_stretches())) {}

PointsAhead::~PointsAhead() { spare_stretches() = std::move(stretches_); }

PointStretch* PointsAhead::stretch_at(std::size_t array_start, std::size_t position) {
  if (!array_end_) array_end_ = seeming_end(text_, array_start);
  if (*array_end_ - array_start < kWorthReadingPointsSideBySide || position >= *array_end_) {
    nothing_ahead_ = true;
    return nullptr;
  }
  if (position >= window_end_) read_window(array_start, position);
  while (next_ < stretches_.size() && stretches_[next_].start < position) ++next_;
  if (next_ == stretches_.size() || stretches_[next_].start != position ||
      stretches_[next_].points.empty()) {
    return nullptr;
  }
  return &stretches_[next_++];
}

std::size_t PointsAhead::room_for(std::size_t have, std::size_t capacity) const {
  std::size_t ahead = 0;
  for (std::size_t k = next_ - 1; k < stretches_.size(); ++k) ahead += stretches_[k].points.size();
  // Asked at every stretch: the room grows only when the window's points
  // do not fit.
  if (have + ahead <= capacity) return capacity;
  if (window_is_last_) return have + ahead;
  const double density = static_cast<double>(*array_end_ - window_start_) /
                         static_cast<double>(window_end_ - window_start_);
  return std::max(have + static_cast<std::size_t>(static_cast<double>(ahead) * density),
                  capacity + capacity / 2);
}

void PointsAhead::read_window(std::size_t array_start, std::size_t position) {
  // Cut where an element seems to begin: a point's opening bracket.
  const char opening = text_[array_start];
  window_start_ = position;
  window_end_ = std::min(*array_end_, position + kPointsAheadWindow);
  window_is_last_ = window_end_ == *array_end_;
  const std::size_t pieces = platform::core_count() * kStretchesPerCore;
  std::vector<std::size_t> starts{position};
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t cut = text_.find(opening, position + k * (window_end_ - position) / pieces);
    if (cut >= window_end_) break;
    if (cut > starts.back()) starts.push_back(cut);
  }
  stretches_.resize(starts.size());
  next_ = 0;
  // Room made here, not on the threads: memory that one thread takes and
  // another gives back is kept by the allocator's arenas. Room that is
  // never filled costs no memory.
  const std::size_t fewest_bytes =
      opening == '{' ? kFewestObjectPointBytes : kFewestArrayPointBytes;
  // Room for a stretch of a whole window's share at least, so that the
  // room touched in one window serves every later one: fresh room costs a
  // page fault per 4 KiB again. Emptied first, so that growing room copies
  // no points of the last window.
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t limit = k + 1 < starts.size() ? starts[k + 1] : window_end_;
    const std::size_t text = std::max(limit - starts[k], kPointsAheadWindow / pieces);
    stretches_[k].points.clear();
    stretches_[k].points.reserve(text / fewest_bytes + 1);
  }
  platform::for_each_in_parallel(starts.size(), true, [&](std::size_t k) {
    stretches_[k].start = starts[k];
    const std::size_t limit = k + 1 < starts.size() ? starts[k + 1] : window_end_;
    read_stretch(text_, limit, stretches_[k]);
  });
}

}  // namespace qfm
