// The margin line reader on any bytes. Fed whole, in two pieces split where
// the fuzzer chooses, or a byte at a time, the same text must give the same
// points (bit for bit) or the same refusal; an ASCII text must give the
// points of a plain reference reader.
#include <fuzzer/FuzzedDataProvider.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "qfm/margin_line.h"
#include "reference_margin_line.h"

namespace {

struct Outcome {
  bool not_text = false;
  qfm::PointList points;
};

Outcome read_whole(std::string_view text) {
  auto points = qfm::parse_margin_line_text(text);
  if (!points) return Outcome{true, {}};
  return Outcome{false, std::move(*points)};
}

Outcome read_in_pieces(std::span<const std::string_view> pieces) {
  qfm::MarginLineReader reader;
  for (std::string_view piece : pieces) {
    if (!reader.feed(piece)) break;
  }
  reader.finish();
  if (reader.not_text()) return Outcome{true, {}};
  return Outcome{false, std::move(reader.points())};
}

bool same(const Outcome& a, const Outcome& b) {
  if (a.not_text != b.not_text) return false;
  if (a.not_text) return true;
  if (a.points.size() != b.points.size()) return false;
  for (std::size_t i = 0; i < a.points.size(); ++i) {
    const qfm::Vec3& p = a.points[i];
    const qfm::Vec3& q = b.points[i];
    if (!fuzz::same_bits(p.x, q.x) || !fuzz::same_bits(p.y, q.y) || !fuzz::same_bits(p.z, q.z))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The split point comes from the input's last two bytes, so that a text
  // used as a seed keeps its beginning.
  FuzzedDataProvider provider(data, size);
  const auto split_hint = provider.ConsumeIntegral<std::uint16_t>();
  const std::string text = provider.ConsumeRemainingBytesAsString();
  const std::string_view view(text);
  const std::size_t split = split_hint % (text.size() + 1);

  const Outcome whole = read_whole(view);
  if (auto reference = fuzz::reference_margin_points(view)) {
    fuzz::check(same(whole, Outcome{false, std::move(*reference)}),
                "the points differ from the reference reader's", text);
  }
  const std::string_view halves[] = {view.substr(0, split), view.substr(split)};
  fuzz::check(same(whole, read_in_pieces(halves)), "two pieces read differently", text);

  std::vector<std::string_view> bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) bytes.push_back(view.substr(i, 1));
  fuzz::check(same(whole, read_in_pieces(bytes)), "single bytes read differently", text);
  return 0;
}
