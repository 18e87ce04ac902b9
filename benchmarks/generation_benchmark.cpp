// A whole run over a large case: 32 products with 100 000 margin line points
// each, written to a temporary folder before timing. Reports the peak
// resident memory of the process next to the size of the point data.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "constructioninfo/generate.h"
#include "machines/machine_catalog.h"
#include "qfm/load_case.h"

namespace {

namespace fs = std::filesystem;

constexpr int kProducts = 32;
constexpr int kPointsPerProduct = 100'000;

fs::path write_large_case() {
  const fs::path dir = fs::temp_directory_path() / "daz_generation_benchmark";
  fs::create_directories(dir);
  std::ofstream json(dir / "large.json", std::ios::trunc);
  json
      << R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"","products":[)";
  for (int p = 0; p < kProducts; ++p) {
    std::string pts = "p";  // built in steps: GCC 12 warns falsely on a + b + c here
    pts += std::to_string(p);
    pts += ".pts";
    json << (p > 0 ? "," : "") << R"({"product_type":"Crown","tooth_iso_number":[)" << 11 + p % 8
         << R"(],"bounding_box":[0,0,1.5,10,10,8.75],"color":"A2","stl":"p.stl","pts":")" << pts
         << "\"}";
    std::ofstream margin(dir / pts, std::ios::trunc);
    margin << "BEGIN_MARGIN\n";
    char line[96];
    for (int i = 0; i < kPointsPerProduct; ++i) {
      std::snprintf(line, sizeof line, "%.6f %.6f %.6f\n", i * 0.0001 - 5.0, 3.25 - i * 0.00002,
                    0.125 * (i % 97));
      margin << line;
    }
    margin << "END_MARGIN\n";
  }
  json << "]}";
  return dir;
}

void GenerateLargeCase(benchmark::State& state) {
  const fs::path dir = write_large_case();
  const std::string json = (dir / "large.json").string();
  const std::string output = (dir / "large.constructionInfo").string();
  for (auto _ : state) {
    auto loaded = qfm::load_case(json);
    if (!loaded) state.SkipWithError(loaded.error().message.c_str());
    const auto machine = machines::resolve_machine(loaded->machine);
    auto written = constructioninfo::generate_construction_info(*loaded, output, machine.cam_type,
                                                                machine.process);
    if (!written) state.SkipWithError(written.error().message.c_str());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["point_data_MB"] = kProducts * kPointsPerProduct * 24.0 / (1024.0 * 1024.0);
  state.counters["output_MB"] = static_cast<double>(fs::file_size(output)) / (1024.0 * 1024.0);
  fs::remove_all(dir);
}
BENCHMARK(GenerateLargeCase)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
