#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "constructioninfo/build.h"
#include "constructioninfo/xml_form.h"
#include "text/shortest_decimal.h"

namespace constructioninfo {
namespace {

using machines::CamType;
using machines::Process;
using qfm::ProductType;

constexpr const char* kHead =
    "<?xml version=\"1.0\"?>\n<ConstuctionInfo "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">";

qfm::Product crown(std::vector<std::uint32_t> teeth = {11}) {
  qfm::Product product;
  product.product_type = ProductType::Crown;
  product.tooth_iso_number = std::move(teeth);
  product.bounding_box = {0, 0, 1.5, 10, 10, 8.75};
  product.color = "A2";
  product.stl = "11.stl";
  product.margin_line_coordinates = qfm::PointList{};
  return product;
}

qfm::CaseMetadata case_of(std::vector<qfm::Product> products, std::string machine = "VHF_K5") {
  return qfm::CaseMetadata{"case", std::move(machine), "ZR", "zige", std::move(products)};
}

// The document as text, or the error message.
std::string render(const qfm::CaseMetadata& case_metadata, CamType cam_type = CamType::VHF,
                   Process process = Process::Milling) {
  const auto document = build_construction_info(case_metadata, cam_type, process);
  return document ? render_xml(*document) : "error: " + document.error().message;
}

TEST(ConstructionInfo, WritesACrownOnAMillingMachine) {
  qfm::Product product = crown();
  product.margin_line_coordinates = qfm::PointList{{1.5, -2, 3.25}};
  EXPECT_EQ(render(case_of({product})), std::string(kHead) + R"(
  <Teeth>
    <Tooth>
      <Number>11</Number>
      <ReconstructionType>AnatomicCrown</ReconstructionType>
      <Margin>
        <Vec3>
          <x>1.5</x>
          <y>-2</y>
          <z>3.25</z>
        </Vec3>
      </Margin>
      <Axis>
        <x>0</x>
        <y>0</y>
        <z>1</z>
      </Axis>
    </Tooth>
  </Teeth>
  <ConstructionFileList>
    <ConstructionFile>
      <Filename>11.stl</Filename>
      <Material>ZI</Material>
      <MaterialName>Zirconia</MaterialName>
      <ToothNumbers>
        <int>11</int>
      </ToothNumbers>
      <MaterialColor>A2</MaterialColor>
      <Height>7.25</Height>
    </ConstructionFile>
  </ConstructionFileList>
  <ProjectName>case</ProjectName>
</ConstuctionInfo>)");
}

// A long margin is formatted in stretches on several cores; the points
// still come out whole and in order, whatever the lengths of the stretches.
TEST(ConstructionInfo, WritesEveryPointOfALongMarginInOrder) {
  for (const std::size_t count : {16383u, 16384u, 16385u, 50001u}) {
    SCOPED_TRACE(count);
    qfm::PointList points;
    std::string expected;
    for (std::size_t i = 0; i < count; ++i) {
      const qfm::Vec3 point{static_cast<double>(i) / 7, -static_cast<double>(i), 0.5};
      points.push_back(point);
      expected += "\n        <Vec3>\n          <x>" + text::format_shortest(point.x) +
                  "</x>\n          <y>" + text::format_shortest(point.y) +
                  "</y>\n          <z>0.5</z>\n        </Vec3>";
    }
    qfm::Product product = crown();
    product.margin_line_coordinates = std::move(points);
    const std::string text = render(case_of({product}));
    const std::size_t start = text.find("<Margin>") + 8;
    const std::size_t end = text.find("\n      </Margin>");
    ASSERT_NE(end, std::string::npos);
    EXPECT_TRUE(text.substr(start, end - start) == expected);
  }
}

// A document of many pieces reaches the file whole and in order, the same
// bytes as the text in memory.
TEST(ConstructionInfo, WritesALongDocumentToItsFileAsRendered) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "construction_info_test_long.constructionInfo";
  for (const std::size_t count : {0u, 1u, 50001u}) {
    SCOPED_TRACE(count);
    qfm::Product product = crown();
    qfm::PointList points;
    for (std::size_t i = 0; i < count; ++i) {
      points.push_back(qfm::Vec3{static_cast<double>(i) / 3, 1.25, -static_cast<double>(i)});
    }
    product.margin_line_coordinates = std::move(points);
    const qfm::CaseMetadata case_metadata = case_of({product});
    const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
    ASSERT_TRUE(document);
    ASSERT_TRUE(write_construction_info(*document, path.string()));
    std::ifstream in(path, std::ios::binary);
    std::ostringstream written;
    written << in.rdbuf();
    EXPECT_TRUE(written.str() == render_xml(*document));
  }
  std::filesystem::remove(path);
}

TEST(ConstructionInfo, WritesAnEmptyCaseWithEmptyContainers) {
  qfm::CaseMetadata empty = case_of({});
  empty.case_name = "";
  EXPECT_EQ(render(empty),
            std::string(kHead) +
                "\n  <Teeth/>\n  <ConstructionFileList/>\n  <ProjectName/>\n</ConstuctionInfo>");
  qfm::Product model = crown({});
  model.product_type = ProductType::Model;
  model.bounding_box.clear();
  model.margin_line_coordinates.reset();
  EXPECT_EQ(render(case_of({model})), render(case_of({})));
}

TEST(ConstructionInfo, PrintingTurnsTheAxisAndDropsMaterialWords) {
  const std::string text =
      render(case_of({crown()}, "FORMLABS_F3B"), CamType::Formlabs, Process::Printing);
  EXPECT_NE(
      text.find("<Axis>\n        <x>0</x>\n        <y>0</y>\n        <z>-1</z>\n      </Axis>"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("<Material/>\n      <MaterialName/>"), std::string::npos) << text;
}

TEST(ConstructionInfo, KeepsProductOrderAndMapsReconstructionTypes) {
  const struct {
    ProductType type;
    ReconstructionType expected;
  } cases[] = {
      {ProductType::Crown, ReconstructionType::AnatomicCrown},
      {ProductType::Inlay, ReconstructionType::AnatomicInlay},
      {ProductType::Onlay, ReconstructionType::AnatomicInlay},
      {ProductType::Overlay, ReconstructionType::OverlayCrown},
      {ProductType::Veneer, ReconstructionType::Veneer},
  };
  for (const auto& c : cases) {
    qfm::Product product = crown();
    product.product_type = c.type;
    const qfm::CaseMetadata case_metadata = case_of({product});
    const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->teeth.at(0).reconstruction_type, c.expected);
  }

  qfm::Product first = crown({14, 15, 16});
  qfm::Product model = crown({});
  model.product_type = ProductType::Model;
  model.margin_line_coordinates.reset();
  qfm::Product third = crown({36});
  third.product_type = ProductType::Inlay;
  third.stl = "36.stl";
  const qfm::CaseMetadata case_metadata = case_of({first, model, third});
  const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
  ASSERT_TRUE(document) << document.error().message;
  ASSERT_EQ(document->teeth.size(), 2u);
  ASSERT_EQ(document->construction_files.size(), 2u);
  EXPECT_EQ(document->teeth[0].number, 14u);
  EXPECT_EQ(document->construction_files[0].tooth_numbers,
            (std::vector<std::uint32_t>{14, 15, 16}));
  EXPECT_EQ(document->teeth[1].number, 36u);
  EXPECT_EQ(document->construction_files[1].filename, "36.stl");
}

TEST(ConstructionInfo, WritesAProductionBlankOnlyForTheMachineWnc) {
  qfm::Product product = crown();
  product.bounding_box = {0, 0, 0.1, 0, 0, 0.3};
  const std::string text = render(case_of({product}, "WNC"), CamType::Custom);
  EXPECT_NE(text.find(R"(
      <Height>0.19999999999999998</Height>
      <ProductionBlank>
        <MaterialDescriptor>zige</MaterialDescriptor>
        <MaterialColor>A2</MaterialColor>
        <BlankHeight>1</BlankHeight>
        <MaterialType>ZR</MaterialType>
        <SlotId> </SlotId>
        <MachineDescriptorLong>WNC</MachineDescriptorLong>
        <MachineNameInterop>WNC</MachineNameInterop>
        <MachineNameGeneric>WNC</MachineNameGeneric>
        <MachineNameTranslated>WNC</MachineNameTranslated>
        <HolderName>WNC</HolderName>
      </ProductionBlank>
    </ConstructionFile>)"),
            std::string::npos)
      << text;
  for (const char* machine : {"wnc", "WNC_1", " WNC", "VHF_K5"}) {
    EXPECT_EQ(render(case_of({product}, machine)).find("ProductionBlank"), std::string::npos)
        << machine;
  }

  product.bounding_box = {0, 0, 1, 0, 0, 0.5};
  const std::string negative = render(case_of({product}, "WNC"), CamType::Custom);
  EXPECT_NE(negative.find("<Height>-0.5</Height>"), std::string::npos) << negative;
  EXPECT_NE(negative.find("<BlankHeight>-0</BlankHeight>"), std::string::npos) << negative;
}

TEST(ConstructionInfo, EscapesTextAndWritesSpecialNumbers) {
  qfm::Product product = crown();
  product.stl = "36 onlay&inlay<1>.stl";
  product.color = "A\"2'\nB\tC\r";
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  product.margin_line_coordinates = qfm::PointList{{std::nan(""), kInfinity, -kInfinity}};
  const std::string text = render(case_of({product}));
  EXPECT_NE(text.find("<Filename>36 onlay&amp;inlay&lt;1&gt;.stl</Filename>"), std::string::npos)
      << text;
  EXPECT_NE(text.find("<MaterialColor>A\"2'\nB\tC\r</MaterialColor>"), std::string::npos) << text;
  EXPECT_NE(text.find("<x>NaN</x>\n          <y>inf</y>\n          <z>-inf</z>"), std::string::npos)
      << text;
}

TEST(ConstructionInfo, RejectsProductsTheDocumentCannotHold) {
  qfm::Product no_margin = crown();
  no_margin.margin_line_coordinates.reset();
  qfm::Product no_tooth = crown({});
  no_tooth.stl = "x.stl";
  qfm::Product short_box = crown();
  short_box.bounding_box = {0, 0, 1};
  qfm::Product five_values = crown();
  five_values.bounding_box = {0, 0, 1, 10, 10};
  const struct {
    std::vector<qfm::Product> products;
    std::string message;
  } cases[] = {
      {{crown(), no_margin}, "Cannot read margin line coordinates"},
      {{no_tooth}, "Product 1 (stl \"x.stl\") has no tooth number"},
      {{crown(), short_box}, "Product 2 (stl \"11.stl\") has 3 bounding box values; 6 are needed"},
      {{five_values}, "Product 1 (stl \"11.stl\") has 5 bounding box values; 6 are needed"},
  };
  for (const auto& c : cases) {
    const qfm::CaseMetadata case_metadata = case_of(c.products);
    const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
    ASSERT_FALSE(document);
    EXPECT_EQ(document.error().message, c.message);
    EXPECT_TRUE(document.error().causes.empty());
  }
}

// After the sink's first failure nothing more goes out, even when the sink
// would take bytes again: a gap in the middle would make a torn document
// look whole.
TEST(ConstructionInfo, StopsWritingAtTheSinksFirstFailure) {
  qfm::Product product = crown();
  product.margin_line_coordinates = qfm::PointList(20000, qfm::Vec3{1.25, 2.5, 3.75});
  const qfm::CaseMetadata case_metadata = case_of({product});
  const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
  ASSERT_TRUE(document);
  int calls = 0;
  std::string taken;
  const ByteSink fails_once = [&](std::string& bytes) -> common::Result<void> {
    if (++calls == 2) return std::unexpected(common::plain_error("full"));
    taken += bytes;
    bytes.clear();
    return {};
  };
  const auto written = write_xml(*document, fails_once);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message, "full");
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(render_xml(*document).starts_with(taken));
}

template <typename Case>
concept BuildsFrom = requires(Case&& case_metadata) {
  build_construction_info(std::forward<Case>(case_metadata), CamType::VHF, Process::Milling);
};

// The document holds views of the case's points, so only a case that
// outlives the call may be built from.
static_assert(BuildsFrom<const qfm::CaseMetadata&>);
static_assert(BuildsFrom<qfm::CaseMetadata&>);
static_assert(!BuildsFrom<qfm::CaseMetadata>);

TEST(ConstructionInfo, RefersToTheCasePointsInsteadOfCopyingThem) {
  qfm::Product product = crown();
  product.margin_line_coordinates = qfm::PointList(1000, qfm::Vec3{1, 2, 3});
  const qfm::CaseMetadata case_metadata = case_of({product});
  const auto document = build_construction_info(case_metadata, CamType::VHF, Process::Milling);
  ASSERT_TRUE(document);
  ASSERT_EQ(document->teeth.size(), 1u);
  EXPECT_EQ(document->teeth[0].margin.size(), 1000u);
  EXPECT_EQ(document->teeth[0].margin.data(),
            case_metadata.products[0].margin_line_coordinates->data());
}

}  // namespace
}  // namespace constructioninfo
