// The table of mistakes: each row a small case made in a folder of its own,
// and every finding the checker must give for it, with its rule and place.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "check/check_case.h"
#include "clean_mesh.h"
#include "temporary_folder.h"

namespace check {
namespace {

// A case that checks clean: every row changes it in a few places.
constexpr std::string_view kCleanCase = R"({
  "machine": "VHF_K5",
  "material": "ZIRCONIUM",
  "material_brand_reference": "zige",
  "products": [
    {
      "product_type": "Crown",
      "tooth_iso_number": [11],
      "bounding_box": [0, 0, 1.5, 10, 10, 9.5],
      "color": "A2",
      "stl": "a.stl",
      "pts": "a.pts"
    }
  ]
}
)";
constexpr std::string_view kSecondProduct = R"(,
    {
      "product_type": "Crown",
      "tooth_iso_number": [21],
      "bounding_box": [0, 0, 1, 9, 9, 9.5],
      "stl": "b.stl",
      "pts": "b.pts"
    }
  ]
})";
constexpr std::string_view kPoints = "BEGIN_MARGIN\n1 2 3\n4 5 6\n7 8 9\nEND_MARGIN\n";

// The products' meshes: tetrahedra whose extents are the boxes above, and
// whose edge from (0, 1, 2) to (7.5, 8.5, 9.5) carries the points.
std::string mesh_a(bool turned = false, bool open = false) {
  return testing_support::clean_mesh_stl(turned, open);
}
std::string mesh_b() {
  return testing_support::tetrahedron_stl({0, 1, 2}, {7.5, 8.5, 9.5}, {9, 0, 1}, {5, 9, 5});
}

struct Change {
  std::string from;
  std::string to;
};

struct Expected {
  std::string rule;
  std::string file;    // "case.json" or another file of the case
  std::string anchor;  // text in that file; the finding stands at its "|", else at its start
  std::string words;   // the message holds these
};

struct Row {
  std::string what;
  std::vector<Change> changes;                             // to the case file
  std::vector<std::pair<std::string, std::string>> files;  // written or replaced
  std::vector<Expected> findings;
  std::string absent = {};  // no finding's message holds this
};

std::string apply(std::string text, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    const auto at = text.find(change.from);
    EXPECT_NE(at, std::string::npos) << change.from;
    if (at != std::string::npos) text.replace(at, change.from.size(), change.to);
  }
  return text;
}

// The line and column (in characters) of `anchor` in `text`.
std::pair<std::size_t, std::size_t> place_of(const std::string& text, const std::string& anchor) {
  const auto bar = anchor.find('|');
  const std::string bare =
      bar == std::string::npos ? anchor : anchor.substr(0, bar) + anchor.substr(bar + 1);
  const auto at = text.find(bare);
  EXPECT_NE(at, std::string::npos) << "anchor " << anchor;
  if (at == std::string::npos) return {0, 0};
  const std::size_t offset = at + (bar == std::string::npos ? 0 : bar);
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return {line, column};
}

const std::string kSecond = std::string(kSecondProduct);
// The second product a model of the jaw, on which every crown's margin
// lies by design.
const std::string kModel = [] {
  std::string model = kSecond;
  model.replace(model.find("Crown"), 5, "Model");
  return model;
}();

const std::vector<Row>& rows() {
  static const std::vector<Row> table = {
      {"a clean case", {}, {}, {}},
      {"a machine in other letter case",
       {{"\"VHF_K5\"", "\"vhf_k5\""}},
       {},
       {{"machine-unknown", "case.json", "\"vhf_k5\"",
         "falls back to a generic machine (family Custom, milling, tooth axis 0 0 1); did you "
         "mean \"VHF_K5\"?"}}},
      {"a machine with a dash for the underscore",
       {{"\"VHF_K5\"", "\"FORMLABS-F3B\""}},
       {},
       {{"machine-unknown", "case.json", "\"FORMLABS-F3B\"", "did you mean \"FORMLABS_F3B\"?"}}},
      {"a machine with a space",
       {{"\"VHF_K5\"", "\"ASIGA MAX\""}},
       {},
       {{"machine-unknown", "case.json", "\"ASIGA MAX\"", "did you mean \"ASIGA_MAX\"?"}}},
      {"a machine of a known brand",
       {{"\"VHF_K5\"", "\"SPRINTRAY_NEW\""}},
       {},
       {{"machine-unknown", "case.json", "\"SPRINTRAY_NEW\"",
         "falls back to the brand \"SPRINTRAY\" (family Rayware, printing, tooth axis 0 0 -1)"}}},
      {"a material in other letter case",
       {{"\"ZIRCONIUM\"", "\"Zirconium\""}},
       {},
       {{"material-unknown", "case.json", "\"Zirconium\"", "did you mean \"ZIRCONIUM\"?"}}},
      {"a misspelt brand reference",
       {{"\"zige\"", "\"zigee\""}},
       {},
       {{"brand-ref-unknown", "case.json", "\"zigee\"", "did you mean \"zige\"?"}}},
      {"a brand reference of another material on an Amann Girrbach machine",
       {{"\"VHF_K5\"", "\"AMANNGIRRBACH_CM3A\""}, {"\"zige\"", "\"ipse\""}},
       {},
       {{"brand-ref-material", "case.json", "\"ipse\"",
         "is of material \"LD\", not of \"ZR\": on this Amann Girrbach machine the document "
         "names the material \"IPS e.max CAD\""}}},
      {"colour for color",
       {{"\"color\"", "\"colour\""}},
       {},
       {{"member-ignored", "case.json", "\"colour\"", "did you mean \"color\"?"}}},
      {"a misspelt member of the case",
       {{"\"machine\"", "\"case_nmae\": \"x\",\n  \"machine\""}},
       {},
       {{"member-ignored", "case.json", "\"case_nmae\"", "did you mean \"case_name\"?"}}},
      {"a fourth member of an inline point",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [{\"x\": 1, \"y\": 2, \"z\": 3, "
         "\"w\": 4}, [4, 5, 6], [7, 8, 9]]"}},
       {},
       {{"member-ignored", "case.json", "\"w\"", "of point 1 of product 1"}}},
      {"a fourth member of a later inline point, an escaped name before it",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [{\"\\u0078\": 1, \"y\": 2, \"z\": 3}, "
         "{\"x\": 4, \"y\": 5, \"z\": 6, \"w\": 4}, [7, 8, 9]]"}},
       {},
       {{"member-ignored", "case.json", "\"w\"", "of point 2 of product 1"}}},
      {"a tooth number that is not ISO 3950",
       {{"[11]", "[140]"}},
       {},
       {{"tooth-number", "case.json", "140", "tooth 140 is not an ISO 3950 tooth number"}}},
      {"a primary tooth past its quadrant's five",
       {{"[11]", "[56]"}},
       {},
       {{"tooth-number", "case.json", "56", "tooth 56"}}},
      {"the same tooth twice in a product",
       {{"[11]", "[11, 11]"}},
       {},
       {{"tooth-repeated", "case.json", "[11, |11]", "tooth 11 is given twice in product 1"}}},
      {"the same tooth in two products",
       {{"\n  ]\n}", kSecond}, {"[21]", "[11]"}},
       {{"b.pts", std::string(kPoints)}, {"b.stl", mesh_b()}},
       {{"tooth-repeated", "case.json", "[|11],\n      \"bounding_box\": [0, 0, 1, 9",
         "tooth 11 is given in product 1 too"}}},
      {"decimal commas in the bounding box",
       {{"[0, 0, 1.5, 10, 10, 9.5]", "[0, 0, 1,5, 10, 10, 9,5]"}},
       {},
       {{"bounding-box-size", "case.json", "[0, 0, 1,5", "has 8 values, not six"}}},
      {"a bounding box with its maximum first",
       {{"[0, 0, 1.5, 10, 10, 9.5]", "[10, 10, 9.5, 0, 0, 1.5]"}},
       {},
       {{"bounding-box-order", "case.json", "[|10, 10", "the minimum x 10 is above the maximum 0"},
        {"bounding-box-order", "case.json", "[10, |10", "the minimum y 10"},
        {"bounding-box-order", "case.json", "[10, 10, |9.5", "the minimum z 9.5"}}},
      {"a flat bounding box",
       {{"[0, 0, 1.5, 10, 10, 9.5]", "[0, 0, 2, 10, 10, 2]"}},
       {},
       {{"bounding-box-height", "case.json", "10, |2]", "gives the height 0"}}},
      {"a model without teeth and box",
       {{"\"Crown\"", "\"Model\""},
        {"\"tooth_iso_number\": [11],", ""},
        {"[0, 0, 1.5, 10, 10, 9.5]", "[]"}},
       {},
       {}},
      {"an STL file that is not there",
       {{"\"a.stl\"", "\"a_crown.stl\""}},
       {},
       {{"stl-missing", "case.json", "\"a_crown.stl\"", "no such file beside the case file"}}},
      {"an STL file in other letter case",
       {{"\"a.stl\"", "\"A.STL\""}},
       {},
       {{"stl-letter-case", "case.json", "\"A.STL\"",
         "matches the file \"a.stl\" only in other letter case"}}},
      {"decimal commas in a point line",
       {},
       {{"a.pts", "BEGIN_M\n1,5 2 3\n1 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "1|,5", "a decimal comma"}}},
      {"semicolons between the numbers",
       {},
       {{"a.pts", "BEGIN_M\n1;2;3\n1 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "1|;2", "\";\" between the numbers"}}},
      {"units after the numbers",
       {},
       {{"a.pts", "BEGIN_M\n1.5mm 2 3\n1 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "1.5|mm", "a unit after a number (\"mm\")"}}},
      {"old Mac line ends",
       {},
       {{"a.pts", "BEGIN_M\r1 2 3\r4 5 6\r7 8 9\rEND_M\r"}},
       {{"margin-line-dropped", "a.pts", "BEGIN_M|\r", "carriage returns without line feeds"},
        {"margin-line-short", "case.json", "\"a.pts\"", "has 0 points"}}},
      {"two and four numbers",
       {},
       {{"a.pts", "BEGIN_M\n1 2\n1 2 3\n4 5 6 7\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "1 2\n", "2 numbers, not three"},
        {"margin-line-dropped", "a.pts", "4 5 6 7", "4 numbers, not three"}}},
      {"a byte-order mark",
       {},
       {{"a.pts",
         "\xEF\xBB\xBF"
         "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "\xEF\xBB\xBF", "byte-order mark"},
        {"margin-line-dropped", "a.pts", "1 2 3", "a point before the first BEGIN_ line"},
        {"margin-line-dropped", "a.pts", "END_M", "an END_ line before any BEGIN_ line"},
        {"margin-line-short", "case.json", "\"a.pts\"", "has 0 points"}}},
      {"points without markers",
       {},
       {{"a.pts", "1 2 3\n4 5 6\n7 8 9\n"}},
       {{"margin-line-dropped", "a.pts", "1 2 3", "a point before the first BEGIN_ line"},
        {"margin-line-dropped", "a.pts", "1 2 3", "no BEGIN_ line: the margin is empty"},
        {"margin-line-short", "case.json", "\"a.pts\"", "has 0 points"}}},
      {"a point line that is not UTF-8",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 9]]"}},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 \xFF\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "4 5 |\xFF",
         "not UTF-8: the tool reads no point of this file"}}},
      {"text in the section",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\nx 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "x 2 3", "\"x\" is no number"}}},
      {"a point after the end marker",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n10 11 12\n"}},
       {{"margin-line-dropped", "a.pts", "10 11 12", "a point after the END_ line"}}},
      {"a margin of two points",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 6\nEND_M\n"}},
       {{"margin-line-short", "case.json", "\"a.pts\"", "the margin of product 1 has 2 points"}}},
      {"an empty section replacing inline points",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 9]]"}},
       {{"a.pts", "BEGIN_M\nEND_M\n"}},
       {{"margin-line-replaces-inline", "case.json", "[[1, 2, 3]",
         "gives no point, and its empty margin replaces the 3 points"},
        {"margin-line-short", "case.json", "\"a.pts\"", "has 0 points"}}},
      {"other points replacing inline points",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 8]]"}},
       {},
       {{"margin-line-replaces-inline", "case.json", "[[1, 2, 3]",
         "replace the 3 different points"}}},
      {"the same points inline and in the file",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 9]]"}},
       {},
       {}},
      {"one .pts file named by two products",
       {{"\n  ]\n}", kSecond}, {"\"b.pts\"", "\"a.pts\""}},
       {{"b.stl", mesh_b()}},
       {{"pts-shared", "case.json", "\"a.pts\"\n    }\n  ]", "is named by product 1 too"}}},
      {"a product type in other letter case",
       {{"\"Crown\"", "\"onlay\""}},
       {},
       {{"product-type-unknown", "case.json", "\"onlay\"",
         "product_type \"onlay\" of product 1 is no type the tool knows: it is taken for a "
         "crown, and the document carries AnatomicCrown; did you mean \"Onlay\"?"}}},
      {"a product type the tool has none of",
       {{"\"Crown\"", "{\"Bridge\": null}"}},
       {},
       {{"product-type-unknown", "case.json", "{\"Bridge\"",
         "the document carries AnatomicCrown"}}},
      {"no products",
       {{"\"products\": [\n    {", "\"products\": [], \"x\": [{"}},
       {},
       {{"products-empty", "case.json", "[]", "the case has no products"},
        {"member-ignored", "case.json", "\"x\"", "member \"x\" of the case"}}},
      {"the production blank's machine in small letters",
       {{"\"VHF_K5\"", "\"wnc\""}},
       {},
       {{"machine-unknown", "case.json", "\"wnc\"",
         "did you mean \"WNC\"? The document gets no production blank, which only the machine "
         "\"WNC\" has."}}},
      {"the production blank's machine with a space",
       {{"\"VHF_K5\"", "\"WNC \""}},
       {},
       {{"machine-unknown", "case.json", "\"WNC \"",
         "did you mean \"WNC\"? The document gets no"}}},
      {"the production blank's machine, known to the document builder",
       {{"\"VHF_K5\"", "\"WNC\""}},
       {},
       {}},
      {"a byte-order mark before the case",
       {{"{\n  \"machine\"", "\xEF\xBB\xBF{\n  \"machine\""}},
       {},
       {{"tool-error", "case.json", "\xEF\xBB\xBF", "expected value at line 1 column 1"},
        {"case-file-bom", "case.json", "\xEF\xBB\xBF",
         "starts with a byte-order mark (EF BB BF), which JSON does not take"}}},
      {"tooth 10",
       {{"[11]", "[10]"}},
       {},
       {{"tooth-number", "case.json", "10", "tooth 10 is not an ISO 3950 tooth number"}}},
      {"a model's teeth are no restorations",
       {{"\n  ]\n}", kSecond},
        {"\"Crown\",\n      \"tooth_iso_number\": [21]",
         "\"Model\",\n      \"tooth_iso_number\": [140, 11]"}},
       {{"b.pts", std::string(kPoints)}, {"b.stl", mesh_b()}},
       {}},
      {"a flat box after a model",
       {{"\n  ]\n}", kSecond},
        {"\"Crown\"", "\"Model\""},
        {"[0, 0, 1.5, 10, 10, 9.5]", "[]"},
        {"[0, 0, 1, 9, 9, 9.5]", "[0, 0, 1, 9, 9, 1]"}},
       {{"b.pts", std::string(kPoints)}, {"b.stl", mesh_b()}},
       {{"bounding-box-height", "case.json", "9, 9, |1]",
         "bounding_box of product 2 gives the height 0"}}},
      {"inline points that differ from the file's only in x",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [70, 8, 9]]"}},
       {},
       {{"margin-line-replaces-inline", "case.json", "[[1, 2, 3]",
         "the 3 points of the .pts file \"a.pts\" replace the 3 different points"}}},
      {"one inline point replaced by an empty section",
       {{"\"pts\": \"a.pts\"", "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3]]"}},
       {{"a.pts", "BEGIN_M\nEND_M\n"}},
       {{"margin-line-replaces-inline", "case.json", "[[1, 2, 3]",
         "its empty margin replaces the 1 point of margin_line_coordinates"},
        {"margin-line-short", "case.json", "\"a.pts\"", "has 0 points"}}},
      {"a margin of one point",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\nEND_M\n"}},
       {{"margin-line-short", "case.json", "\"a.pts\"", "the margin of product 1 has 1 point:"}}},
      {"a shared .pts file's lines told once",
       {{"\n  ]\n}", kSecond}, {"\"b.pts\"", "\"a.pts\""}},
       {{"b.stl", mesh_b()}, {"a.pts", "BEGIN_M\n1;2;3\n1 2 3\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"pts-shared", "case.json", "\"a.pts\"\n    }\n  ]", "is named by product 1 too"},
        {"margin-line-dropped", "a.pts", "1|;2", "\";\" between the numbers"}}},
      {"an indented point after the end marker",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n  10 11 12\n"}},
       {{"margin-line-dropped", "a.pts", "  |10 11 12", "a point after the END_ line"}}},
      {"an end marker ended by a carriage return alone",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\rx\n10 11 12\n"}},
       {{"margin-line-dropped", "a.pts", "END_M|\r", "carriage returns without line feeds"},
        {"margin-line-dropped", "a.pts", "10 11 12", "a point after the END_ line"}}},
      {"a tooth number with a fraction (the tool's own error)",
       {{"[11]", "[11.0]"}},
       {},
       {{"tool-error", "case.json", "[11.|0]",
         "PickFirst could not deserialize any variant: First: invalid type: floating point "
         "`11.0`, expected u32; Second: invalid type"}}},
      {"a tooth number whose words read as another place (the tool's own error)",
       {{"[11]", "[\"x at line 9 column 9\"]"}},
       {},
       {{"tool-error", "case.json", "[\"x at line 9 column 9|\"]",
         "First: invalid type: string \"x at line 9 column 9\", expected u32; Second: invalid "
         "digit found in string at line 8 column 49"}}},
      {"a missing .pts file (the tool's own error)",
       {{"\"a.pts\"", "\"missing.pts\""}},
       {},
       {{"tool-error", "case.json", "{", "Failed to read "}}},
      {"a short bounding box (the tool's own error)",
       {{"[0, 0, 1.5, 10, 10, 9.5]", "[0, 0, 1.5, 10, 10]"}},
       {},
       {{"tool-error", "case.json", "{",
         "Product 1 (stl \"a.stl\") has 5 bounding box values; 6 are needed"}}},
      {"an STL of no facet",
       {},
       {{"a.stl", "solid a\nendsolid a\n"}},
       {{"stl-unreadable", "a.stl", "",
         "the STL of product 1 could not be read: an ASCII STL of no facet"}}},
      {"an open mesh",
       {},
       {{"a.stl", mesh_a(false, true)}},
       {{"stl-open", "a.stl", "", "the mesh of product 1 has 3 open edges (holes)"}}},
      {"an inside-out mesh",
       {},
       {{"a.stl", mesh_a(true)}},
       {{"stl-inside-out", "a.stl", "", "the mesh of product 1 is inside out (volume -80 mm³)"}}},
      {"a box whose top is not the mesh's",
       {{"10, 10, 9.5]", "10, 10, 9]"}},
       {},
       {{"bounding-box-stl", "case.json", "10, 10, |9]",
         "the maximum z 9 differs from the mesh's 9.5 (\"a.stl\") by more than 0.05 mm: the "
         "document carries the Height 7.5 from the box"}}},
      {"not a number in a point line",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n  4 nan 6\n7 8 9\nEND_M\n"}},
       {{"coordinate-not-finite", "a.pts", "  |4 nan 6",
         "point 2 of the margin of product 1 has y NaN"}}},
      {"a mistyped coordinate",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n2 3 4\n30 4 5\n4 5 6\n5 6 7\n4 5 6\n3 4 5\n2 3 4\nEND_M\n"}},
       {{"margin-line-spike", "a.pts", "30 4 5",
         "point 3 of the margin of product 1 jumps 26.038 mm from its neighbours, which lie "
         "about 1.732 mm apart elsewhere"},
        {"margin-line-off-mesh", "a.pts", "30 4 5",
         "1 of the 8 margin points of product 1 lies farther than 0.05 mm from its STL "
         "\"a.stl\"; the farthest, point 3, by"}}},
      {"a margin line in micrometres",
       {},
       {{"a.pts",
         "BEGIN_M\n1000 2000 3000\n2000 3000 4000\n3000 4000 5000\n4000 5000 6000\n5000 6000 "
         "7000\nEND_M\n"}},
       {{"margin-line-units", "a.pts", "1000 2000 3000",
         "the margin of product 1 is 2000 mm across, which no tooth is (1 to 40 mm): likely in "
         "micrometres"},
        {"margin-line-off-mesh", "a.pts", "5000 6000 7000", "5 of the 5 margin points"}}},
      {"the .pts files of two products swapped",
       {{"\n  ]\n}", kSecond}},
       {{"a.pts", "BEGIN_M\n8 2.25 2\n7 4.5 3\n6 6.75 4\nEND_M\n"},
        {"b.pts", std::string(kPoints)},
        {"b.stl", mesh_b()}},
       {{"margin-line-off-mesh", "a.pts", "8 2.25 2",
         "it fits the STL of product 2: files swapped?"}}},
      // The margin is picked on the model's scan, so a line that fits the
      // model and misses its crown tells a wrong crown mesh, not swapped
      // files: a model has no margin line in the document to swap with.
      {"a crown's line that fits the model's mesh alone",
       {{"\n  ]\n}", kModel}},
       {{"a.pts", "BEGIN_M\n8 2.25 2\n7 4.5 3\n6 6.75 4\nEND_M\n"},
        {"b.pts", std::string(kPoints)},
        {"b.stl", mesh_b()}},
       {{"margin-line-off-mesh", "a.pts", "8 2.25 2",
         "3 of the 3 margin points of product 1 lie farther than 0.05 mm from its STL"}},
       "swapped"},
      {"inline points off the mesh, kept for a .pts file that is not UTF-8",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 20]]"}},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 \xFF\nEND_M\n"}},
       {{"margin-line-dropped", "a.pts", "4 5 |\xFF", "not UTF-8"},
        {"margin-line-off-mesh", "case.json", "[[1, 2, 3]",
         "1 of the 3 margin points of product 1 lies farther than 0.05 mm from its STL "
         "\"a.stl\"; the farthest, point 3, by"}}},
  };
  return table;
}

class Mistakes : public testing_support::TemporaryFolderTest {
 protected:
  void write(const std::string& name, std::string_view bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  // The findings of the clean case with `changes` made, its files written
  // over by `files`, in a fresh folder.
  Findings check_changed_case(const std::vector<Change>& changes,
                              const std::vector<std::pair<std::string, std::string>>& files) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    write("case.json", apply(std::string(kCleanCase), changes));
    write("a.pts", kPoints);
    write("a.stl", mesh_a());
    for (const auto& [name, bytes] : files) write(name, bytes);
    return check_case((dir_ / "case.json").string(), CaseOrigin::Named).findings;
  }
};

TEST_F(Mistakes, EachRowGivesItsFindingsWithRuleAndPlace) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.what);
    const Findings findings = check_changed_case(row.changes, row.files);
    std::vector<bool> matched(findings.size(), false);
    for (const Expected& expected : row.findings) {
      const auto [line, column] = place_of(read(expected.file), expected.anchor);
      const std::string path = (dir_ / expected.file).string();
      bool found = false;
      for (std::size_t i = 0; i < findings.size() && !found; ++i) {
        const Finding& f = findings[i];
        if (matched[i] || rule_id(f.rule) != expected.rule || f.path != path || f.line != line ||
            f.column != column || f.message.find(expected.words) == std::string::npos)
          continue;
        // What the tool refuses, and what it cannot read or write as a
        // number, are errors; the rest warnings.
        const bool error = expected.rule == "tool-error" || expected.rule == "stl-unreadable" ||
                           expected.rule == "coordinate-not-finite";
        EXPECT_EQ(f.severity(), error ? Severity::Error : Severity::Warning);
        matched[i] = found = true;
      }
      EXPECT_TRUE(found) << "expected " << expected.rule << " at " << expected.file << ":" << line
                         << ":" << column << " saying " << expected.words;
    }
    for (std::size_t i = 0; i < findings.size(); ++i) {
      if (!row.absent.empty()) {
        EXPECT_EQ(findings[i].message.find(row.absent), std::string::npos) << findings[i].message;
      }
      EXPECT_TRUE(matched[i]) << "unexpected " << findings[i].path << ":" << findings[i].line << ":"
                              << findings[i].column << ": " << findings[i].message << " ["
                              << rule_id(findings[i].rule) << "]";
    }
  }
}

// The margin point each finding about a margin line concerns, by which the
// report links it: an index of the margin as loaded, or none where the
// finding is about the whole line or about text that held no point.
TEST_F(Mistakes, MarginFindingsNameThePointTheyConcern) {
  using Point = std::optional<std::size_t>;
  const struct {
    std::string what;
    std::vector<Change> changes;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::pair<std::string, Point>> points;  // by rule, for every finding
  } rows[] = {
      {"a decimal comma in the second point",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4,5 5 6\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", 1}}},
      {"a unit after the last point, past the margin's end",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\n10mm 11 12\nEND_M\n"}},
       {{"margin-line-dropped", 3}}},
      {"a word that is no number: text, not a point",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\nmargin\n4 5 6\n7 8 9\nEND_M\n"}},
       {{"margin-line-dropped", std::nullopt}}},
      {"a dropped point in a file that is not UTF-8, which loads no margin",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [7, 8, 9]]"}},
       {{"a.pts", "BEGIN_M\n1 2 3\n4;5;6\n4 5 6\n7 8 \xFF\nEND_M\n"}},
       {{"margin-line-dropped", std::nullopt}, {"margin-line-dropped", std::nullopt}}},
      {"a margin too short, about the whole line",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n1 2 3\n1 x 3\nEND_M\n"}},
       {{"margin-line-short", std::nullopt}, {"margin-line-dropped", std::nullopt}}},
      {"inline points replaced",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], [4, 5, 6], [70, 8, 9]]"}},
       {},
       {{"margin-line-replaces-inline", std::nullopt}}},
      {"a .pts file shared",
       {{"\n  ]\n}", kSecond}, {"\"b.pts\"", "\"a.pts\""}},
       {{"b.stl", mesh_b()}},
       {{"pts-shared", std::nullopt}}},
      {"an inline point with a member the tool does not read, kept for a .pts file not UTF-8",
       {{"\"pts\": \"a.pts\"",
         "\"pts\": \"a.pts\", \"margin_line_coordinates\": [[1, 2, 3], {\"x\": 4, \"y\": 5, "
         "\"z\": 6, \"w\": 0}, [7, 8, 9]]"}},
       {{"a.pts", "\xFF\n"}},
       {{"member-ignored", 1}, {"margin-line-dropped", std::nullopt}}},
      {"not a number in a point",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n  4 nan 6\n7 8 9\nEND_M\n"}},
       {{"coordinate-not-finite", 1}}},
      {"a mistyped coordinate",
       {},
       {{"a.pts", "BEGIN_M\n1 2 3\n2 3 4\n30 4 5\n4 5 6\n5 6 7\n4 5 6\n3 4 5\n2 3 4\nEND_M\n"}},
       {{"margin-line-spike", 2}, {"margin-line-off-mesh", 2}}},
      {"a margin line in micrometres",
       {},
       {{"a.pts",
         "BEGIN_M\n1000 2000 3000\n2000 3000 4000\n3000 4000 5000\n4000 5000 6000\n5000 6000 "
         "7000\nEND_M\n"}},
       {{"margin-line-units", std::nullopt}, {"margin-line-off-mesh", 4}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const Findings findings = check_changed_case(row.changes, row.files);
    std::vector<std::pair<std::string, Point>> found;
    for (const Finding& finding : findings) {
      found.emplace_back(std::string(rule_id(finding.rule)), finding.point);
    }
    auto expected = row.points;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
  }
}

}  // namespace
}  // namespace check
