#include "report/page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "report/product_views.h"

namespace {

using report::CaseReport;
using report::Finding;
using report::Product;
using report::Severity;

// The hostile names of a case: each must reach the page as text alone.
const std::string kHostilePath = "cases/\"><script>alert(1)</script>&amp;\n\xff.json";
const std::string kHostileStl = "<img src=x onerror=alert(1)>'.stl";

struct Fixture {
  std::vector<report::Triangle> mesh = {{qfm::Vec3{0, 0, 0}, {4, 0, 0}, {0, 4, 0}},
                                        {qfm::Vec3{4, 0, 0}, {4, 4, 1}, {0, 4, 0}}};
  std::vector<qfm::Vec3> margin = {{0, 0, 0}, {4, 0, 0}, {4, 4, 1}, {0, 4, 0}};

  CaseReport hostile_case() const {
    CaseReport c;
    c.path = kHostilePath;
    c.machine = "M<1>";
    c.fallback = "M&2";
    c.materials = {{"Material", "Zr\"O2"}};
    Product drawn;
    drawn.teeth = {11, 12};
    drawn.reconstruction = "Crown";
    drawn.stl_name = kHostileStl;
    drawn.mesh = std::span<const report::Triangle>(mesh);
    drawn.margin = std::span<const qfm::Vec3>(margin);
    Product bare;
    bare.teeth = {21};
    bare.mesh_missing = "no STL <named>";
    bare.margin_missing = "cannot be read";
    c.products = {drawn, bare};
    c.findings = {
        {"a.pts", 3, 1, Severity::Warning, "spike <here>", "margin-spike", 0, 2},
        {"a.json", 1, 2, Severity::Error, "bad & worse", "r\"ule", 1, std::nullopt},
        {"a.json", 0, 0, Severity::Warning, "whole case", "case-rule", std::nullopt, std::nullopt},
    };
    return c;
  }
};

std::string page_of(const std::vector<CaseReport>& cases) {
  return report::write_report({cases.size(), 1, 2}, cases);
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ReportPage, HostileNamesAppearEscapedNeverAsMarkup) {
  const Fixture fixture;
  const std::string page = page_of({fixture.hostile_case()});
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("\xff"), std::string::npos);
  EXPECT_EQ(page.find("<named>"), std::string::npos);
  // Summary link and heading both show the path the same way.
  const std::string shown =
      "cases/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;&amp;amp;\u240A\uFFFD.json";
  EXPECT_EQ(occurrences(page, shown), 2u);
  EXPECT_NE(page.find("&lt;img src=x onerror=alert(1)&gt;&#39;.stl"), std::string::npos);
  EXPECT_NE(page.find("M&lt;1&gt; (the tool falls back to M&amp;2)"), std::string::npos);
  EXPECT_NE(page.find("<code>r&quot;ule</code>"), std::string::npos);
}

TEST(ReportPage, EveryLinkHasItsTargetAndEveryIdIsUnique) {
  const Fixture fixture;
  const std::string page = page_of({fixture.hostile_case(), fixture.hostile_case()});
  std::vector<std::string> ids;
  for (std::size_t at = page.find(" id=\""); at != std::string::npos;
       at = page.find(" id=\"", at + 1)) {
    const std::size_t start = at + 5;
    ids.push_back(page.substr(start, page.find('"', start) - start));
  }
  for (std::size_t i = 0; i < ids.size(); ++i) {
    for (std::size_t j = i + 1; j < ids.size(); ++j) EXPECT_NE(ids[i], ids[j]);
  }
  std::size_t links = 0;
  for (std::size_t at = page.find("href=\"#"); at != std::string::npos;
       at = page.find("href=\"#", at + 1)) {
    const std::size_t start = at + 7;
    const std::string target = page.substr(start, page.find('"', start) - start);
    SCOPED_TRACE(target);
    EXPECT_NE(std::find(ids.begin(), ids.end(), target), ids.end());
    ++links;
  }
  // Two summary links; per case: the spike's product and point, the point
  // row's way back, the error's product.
  EXPECT_EQ(links, 2u + 2 * 4);
  EXPECT_NE(page.find("<a href=\"#case-2-product-1-point-3\">point 3</a>"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"#case-2-finding-1\">finding 1</a>"), std::string::npos);
}

TEST(ReportPage, SaysWhatIsMissingAndDrawsOnlyWhatIsThere) {
  const Fixture fixture;
  const std::string page = page_of({fixture.hostile_case()});
  EXPECT_NE(page.find("<strong>No mesh drawn:</strong> no STL &lt;named&gt;"), std::string::npos);
  EXPECT_NE(page.find("<strong>No margin line drawn:</strong> cannot be read"), std::string::npos);
  // Three views of the drawn product, none of the bare one; one marked point
  // in each view.
  EXPECT_EQ(occurrences(page, "<svg "), 3u);
  EXPECT_EQ(occurrences(page, "class=\"marked\""), 3u);
  EXPECT_EQ(occurrences(page, "class=\"start\""), 3u);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find(" src=\""), std::string::npos);
}

TEST(ReportPage, IsWrittenInPiecesThatMakeTheWholePage) {
  const Fixture fixture;
  const std::vector<CaseReport> cases = {fixture.hostile_case()};
  const std::vector<report::CaseSummary> summaries = {report::summarise(cases[0])};
  EXPECT_EQ(summaries[0].errors, 1u);
  EXPECT_EQ(summaries[0].warnings, 2u);
  const std::string pieces = report::report_start({1, 1, 2}, summaries) +
                             report::case_section(cases[0], 1) + report::report_end();
  EXPECT_EQ(pieces, page_of(cases));
  EXPECT_NE(pieces.find("1 case checked: 1 error, 2 warnings."), std::string::npos);
}

// The drawing of an octahedron and its equator, byte for byte as kept in
// the fixtures: the page is the same bytes wherever it is written (the
// Windows build runs this test too), so its numbers come from exact
// operations and the shortest form alone.
TEST(ReportPage, DrawingIsTheSameBytesOnEveryPlatform) {
  const qfm::Vec3 top{0, 0, 5}, bottom{0, 0, -5};
  const qfm::Vec3 ring[] = {{4, 0, 0}, {0, 3, 0}, {-4, 0, 0}, {0, -3, 0}};
  std::vector<report::Triangle> mesh;
  for (std::size_t i = 0; i < 4; ++i) {
    mesh.push_back({top, ring[i], ring[(i + 1) % 4]});
    mesh.push_back({bottom, ring[(i + 1) % 4], ring[i]});
  }
  std::vector<qfm::Vec3> equator;
  for (int i = 0; i <= 40; ++i) {
    const std::size_t side = static_cast<std::size_t>(i / 10 % 4);
    const qfm::Vec3& a = ring[side];
    const qfm::Vec3& b = ring[(side + 1) % 4];
    const double f = (i % 10) / 10.0;
    equator.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, 0.1});
  }
  Product product;
  product.mesh = std::span<const report::Triangle>(mesh);
  product.margin = std::span<const qfm::Vec3>(equator);
  product.tooth_axis = {0.2, 0.1, 1};
  std::vector<bool> marked(equator.size(), false);
  marked[7] = true;
  std::string drawing;
  report::append_product_views(drawing, product, marked, "Octahedron");
  drawing += '\n';
  const std::string path = DAZ_TEST_DATA_DIR "/report/octahedron_views.html";
  std::ifstream file(path, std::ios::binary);
  std::stringstream kept;
  kept << file.rdbuf();
  if (drawing != kept.str()) {
    // Written out, to be looked at and, when the change is meant, kept.
    const std::string written = testing::TempDir() + "octahedron_views.html";
    std::ofstream(written, std::ios::binary) << drawing;
    ADD_FAILURE() << "the drawing differs from " << path << "; it is in " << written;
  }
}

// Every number of a drawing's marks, lines and shades ("cx", "cy" and the
// path data), in picture units.
std::vector<double> drawn_numbers(const std::string& svg) {
  std::vector<double> numbers;
  const std::regex attribute(R"re((?:cx|cy|d)="([^"]*)")re");
  const std::regex number(R"re(-?[0-9]+(?:\.[0-9]+)?)re");
  for (auto a = std::sregex_iterator(svg.begin(), svg.end(), attribute);
       a != std::sregex_iterator(); ++a) {
    const std::string value = (*a)[1];
    for (auto n = std::sregex_iterator(value.begin(), value.end(), number);
         n != std::sregex_iterator(); ++n) {
      numbers.push_back(std::stod(n->str()));
    }
  }
  return numbers;
}

// A spike 50 m off leaves the views framed on the mesh: it is held at the
// edge of the frame, where the line to it is cut, and the caption says how
// far off it lies.
TEST(ReportPage, APointFarOffIsHeldAtTheFramesEdgeAndTold) {
  std::vector<report::Triangle> mesh;
  const qfm::Vec3 top{0, 0, 5};
  const qfm::Vec3 ring[] = {{4, 0, 0}, {0, 3, 0}, {-4, 0, 0}, {0, -3, 0}};
  for (std::size_t i = 0; i < 4; ++i) mesh.push_back({top, ring[i], ring[(i + 1) % 4]});
  const std::vector<qfm::Vec3> margin = {{4, 0, 0}, {0, 3, 0}, {50025, 0, 0}, {-4, 0, 0}};
  Product product;
  product.mesh = std::span<const report::Triangle>(mesh);
  product.margin = std::span<const qfm::Vec3>(margin);
  std::string drawing;
  report::append_product_views(drawing, product, std::vector<bool>(margin.size(), false), "Cap");
  // From above and from the other side the spike lies off to one side;
  // from the side it lies behind the cap.
  EXPECT_EQ(occurrences(drawing, "<path class=\"beyond\""), 2U);
  EXPECT_EQ(occurrences(drawing,
                        "Point 3 lies beyond the drawing, 50021 mm from the mesh: shown "
                        "at its edge</figcaption>"),
            2U);
  EXPECT_EQ(occurrences(drawing, "a point beyond the drawing, at its edge"), 1U);
  // Framed on the cap (8 mm across from above), not on the spike.
  EXPECT_NE(drawing.find("data-scale=\"24.2\""), std::string::npos);
  // Each scale bar stands below its frame.
  const std::string frames_only =
      std::regex_replace(drawing, std::regex(R"(<g class="scale">.*?</g>)"), "");
  for (double number : drawn_numbers(frames_only)) {
    EXPECT_GE(number, 0);
    EXPECT_LE(number, 230);
  }
}

}  // namespace
