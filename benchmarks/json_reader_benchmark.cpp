// Reading a case whose products carry 1 000 000 margin line points in the
// JSON itself.
#include <benchmark/benchmark.h>

#include <string>

#include "qfm/case_metadata_parser.h"

namespace {

std::string large_case(int products, int points_per_product) {
  std::string text = R"({"case_name":"bench","machine":"VHF_K5","material":"ZIRCONIUM",)"
                     R"("material_brand_reference":"zige","products":[)";
  for (int p = 0; p < products; ++p) {
    if (p > 0) text += ',';
    text +=
        R"({"product_type":"Crown","tooth_iso_number":[11,"12"],"bounding_box":[0,0,1.5,10,10,8.75],)"
        R"("color":"A2","stl":"p.stl","pts":"p.pts","margin_line_coordinates":[)";
    for (int i = 0; i < points_per_product; ++i) {
      if (i > 0) text += ',';
      text += R"({"x":)" + std::to_string(i * 0.001 - 12.5) + R"(,"y":-3.1415926535,"z":)" +
              std::to_string(i % 1000) + ".25}";
    }
    text += "]}";
  }
  text += "]}";
  return text;
}

void ParseCaseWithAMillionPoints(benchmark::State& state) {
  const std::string text = large_case(10, 100'000);
  for (auto _ : state) {
    auto result = qfm::parse_case_metadata(text);
    if (!result) state.SkipWithError(result.error().text().c_str());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(ParseCaseWithAMillionPoints)->Unit(benchmark::kMillisecond);

}  // namespace
