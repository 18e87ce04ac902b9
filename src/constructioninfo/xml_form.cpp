#include "constructioninfo/xml_form.h"

#include <array>
#include <cstring>
#include <span>

#include "platform/output_file.h"
#include "platform/path_text.h"
#include "text/shortest_decimal.h"
#include "text/utf8.h"

namespace constructioninfo {

namespace {

constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kSchema = "http://www.w3.org/2001/XMLSchema";

// The depth of each element in the document, two spaces of indentation a
// level: the root, its lists, their entries, the entries' fields, and the
// fields' own entries (a margin's points, a blank's fields).
constexpr int kRootDepth = 0;
constexpr int kListDepth = 1;
constexpr int kEntryDepth = 2;
constexpr int kFieldDepth = 3;
constexpr int kFieldEntryDepth = 4;

// The fixed text around the three numbers of a point element at its depth:
// the start tags up to <x>, the text between the numbers, and the end
// tags. Each piece sits in room of its own so that it is copied in one
// fixed-size move.
struct PointFrame {
  static constexpr std::size_t kRoom = 64;
  std::array<std::array<char, kRoom>, 4> pieces{};
  std::array<std::size_t, 4> lengths{};

  PointFrame(std::string_view name, int depth) {
    const std::string outer = "\n" + std::string(static_cast<std::size_t>(depth) * 2, ' ');
    const std::string inner = outer + "  ";
    set(0, outer + "<" + std::string(name) + ">" + inner + "<x>");
    set(1, "</x>" + inner + "<y>");
    set(2, "</y>" + inner + "<z>");
    set(3, "</z>" + outer + "</" + std::string(name) + ">");
  }
  char* put(char* out, std::size_t piece) const {
    std::memcpy(out, pieces[piece].data(), kRoom);
    return out + lengths[piece];
  }

 private:
  void set(std::size_t piece, const std::string& text) {
    std::memcpy(pieces[piece].data(), text.data(), text.size());
    lengths[piece] = text.size();
  }
};

const PointFrame kMarginPoint{"Vec3", kFieldEntryDepth};
const PointFrame kAxis{"Axis", kFieldDepth};

// A whole point, its element and its x, y and z, put together on the stack
// and appended at once: a large document is mostly points.
void append_point(std::string& out, const PointFrame& frame, const qfm::Vec3& value) {
  char text[3 * (text::kMaxShortestLength + PointFrame::kRoom) + PointFrame::kRoom];
  char* end = frame.put(text, 0);
  end = frame.put(text::write_shortest(end, value.x), 1);
  end = frame.put(text::write_shortest(end, value.y), 2);
  end = frame.put(text::write_shortest(end, value.z), 3);
  out.append(text, end);
}

// Larger than the document of a case of a few short margins.
constexpr std::size_t kSmallDocumentSize = 16 * 1024;

// The XML is handed to the file in pieces of this size, large enough that
// a write costs little per byte, small enough to stay in the cache, and few
// pages to fault in: 8 x 400 points run in 2.65x `true` with 64 KiB, 3.08x
// with 256 KiB; large cases run alike with both.
constexpr std::size_t kOutputPieceSize = 64 * 1024;

// Builds the text in a buffer and hands it to the sink whenever the buffer
// has grown past kOutputPieceSize, so that a huge document never sits in
// memory.
class XmlWriter {
 public:
  explicit XmlWriter(const ByteSink& sink) : sink_(sink) {}

  // A container's start tag on its own line.
  void start(std::string_view name, int depth) {
    new_line(depth);
    open_tag(name);
  }
  void end(std::string_view name, int depth) {
    new_line(depth);
    close_tag(name);
    flush_if_full();
  }
  // An empty container or text: "<Name/>".
  void empty(std::string_view name, int depth) {
    new_line(depth);
    buffer_ += '<';
    buffer_ += name;
    buffer_ += "/>";
  }
  void leaf(std::string_view name, std::string_view text, int depth) {
    if (text.empty()) return empty(name, depth);
    new_line(depth);
    open_tag(name);
    append_escaped(text, false);
    close_tag(name);
    flush_if_full();
  }
  // Numbers are never empty and hold nothing to escape.
  void number(std::string_view name, double value, int depth) {
    new_line(depth);
    open_tag(name);
    char text[text::kMaxShortestLength];
    buffer_.append(text, text::write_shortest(text, value));
    close_tag(name);
  }
  void number(std::string_view name, std::uint32_t value, int depth) {
    new_line(depth);
    open_tag(name);
    buffer_ += std::to_string(value);
    close_tag(name);
  }
  void point(const PointFrame& frame, const qfm::Vec3& value) {
    append_point(buffer_, frame, value);
    flush_if_full();
  }
  void points(const PointFrame& frame, std::span<const qfm::Vec3> all) {
    for (const qfm::Vec3& value : all) point(frame, value);
  }
  void root_start() {
    buffer_ += "<?xml version=\"1.0\"?>\n<ConstuctionInfo xmlns:xsi=\"";
    append_escaped(kSchemaInstance, true);
    buffer_ += "\" xmlns:xsd=\"";
    append_escaped(kSchema, true);
    buffer_ += "\">";
  }
  common::Result<void> finish() {
    flush();
    return result_;
  }

 private:
  void open_tag(std::string_view name) {
    buffer_ += '<';
    buffer_ += name;
    buffer_ += '>';
  }
  void close_tag(std::string_view name) {
    buffer_ += "</";
    buffer_ += name;
    buffer_ += '>';
  }
  void new_line(int depth) {
    buffer_ += '\n';
    buffer_.append(static_cast<std::size_t>(depth) * 2, ' ');
  }
  void append_escaped(std::string_view text, bool attribute) {
    for (char c : text) {
      switch (c) {
        case '&':
          buffer_ += "&amp;";
          break;
        case '<':
          buffer_ += "&lt;";
          break;
        case '>':
          buffer_ += "&gt;";
          break;
        case '"':
          if (attribute) {
            buffer_ += "&quot;";
            break;
          }
          [[fallthrough]];
        default:
          buffer_ += c;
      }
    }
  }
  // The buffer takes a whole piece's room only once the text outgrows a
  // small document's: a small run then never asks the system for room
  // that it maps and unmaps apart, and a large one grows it once.
  void flush_if_full() {
    if (buffer_.size() >= kSmallDocumentSize && buffer_.capacity() < kOutputPieceSize)
        [[unlikely]] {
      buffer_.reserve(kOutputPieceSize + 4096);
    }
    if (buffer_.size() >= kOutputPieceSize) flush();
  }
  // After the sink's first failure nothing more goes out.
  void flush() {
    if (result_ && !buffer_.empty()) result_ = sink_(buffer_);
    buffer_.clear();
  }

  const ByteSink& sink_;
  std::string buffer_;
  common::Result<void> result_;
};

void write_tooth(XmlWriter& xml, const Tooth& tooth) {
  xml.start("Tooth", kEntryDepth);
  xml.number("Number", tooth.number, kFieldDepth);
  xml.leaf("ReconstructionType", reconstruction_type_name(tooth.reconstruction_type), kFieldDepth);
  if (tooth.margin.empty()) {
    xml.empty("Margin", kFieldDepth);
  } else {
    xml.start("Margin", kFieldDepth);
    xml.points(kMarginPoint, tooth.margin);
    xml.end("Margin", kFieldDepth);
  }
  xml.point(kAxis, tooth.axis);
  xml.end("Tooth", kEntryDepth);
}

void write_production_blank(XmlWriter& xml, const ProductionBlank& blank) {
  xml.start("ProductionBlank", kFieldDepth);
  xml.leaf("MaterialDescriptor", blank.material_descriptor, kFieldEntryDepth);
  xml.leaf("MaterialColor", blank.material_color, kFieldEntryDepth);
  xml.number("BlankHeight", blank.blank_height, kFieldEntryDepth);
  xml.leaf("MaterialType", blank.material_type, kFieldEntryDepth);
  xml.leaf("SlotId", blank.slot_id, kFieldEntryDepth);
  xml.leaf("MachineDescriptorLong", blank.machine_descriptor_long, kFieldEntryDepth);
  xml.leaf("MachineNameInterop", blank.machine_name_interop, kFieldEntryDepth);
  xml.leaf("MachineNameGeneric", blank.machine_name_generic, kFieldEntryDepth);
  xml.leaf("MachineNameTranslated", blank.machine_name_translated, kFieldEntryDepth);
  xml.leaf("HolderName", blank.holder_name, kFieldEntryDepth);
  xml.end("ProductionBlank", kFieldDepth);
}

void write_construction_file(XmlWriter& xml, const ConstructionFile& file) {
  xml.start("ConstructionFile", kEntryDepth);
  xml.leaf("Filename", file.filename, kFieldDepth);
  xml.leaf("Material", file.material, kFieldDepth);
  xml.leaf("MaterialName", file.material_name, kFieldDepth);
  if (file.tooth_numbers.empty()) {
    xml.empty("ToothNumbers", kFieldDepth);
  } else {
    xml.start("ToothNumbers", kFieldDepth);
    for (std::uint32_t number : file.tooth_numbers) xml.number("int", number, kFieldEntryDepth);
    xml.end("ToothNumbers", kFieldDepth);
  }
  xml.leaf("MaterialColor", file.material_color, kFieldDepth);
  xml.number("Height", file.height, kFieldDepth);
  if (file.production_blank) write_production_blank(xml, *file.production_blank);
  xml.end("ConstructionFile", kEntryDepth);
}

}  // namespace

common::Result<void> write_xml(const ConstuctionInfo& document, const ByteSink& sink) {
  XmlWriter xml(sink);
  xml.root_start();
  if (document.teeth.empty()) {
    xml.empty("Teeth", kListDepth);
  } else {
    xml.start("Teeth", kListDepth);
    for (const Tooth& tooth : document.teeth) write_tooth(xml, tooth);
    xml.end("Teeth", kListDepth);
  }
  if (document.construction_files.empty()) {
    xml.empty("ConstructionFileList", kListDepth);
  } else {
    xml.start("ConstructionFileList", kListDepth);
    for (const ConstructionFile& file : document.construction_files)
      write_construction_file(xml, file);
    xml.end("ConstructionFileList", kListDepth);
  }
  xml.leaf("ProjectName", document.project_name, kListDepth);
  xml.end("ConstuctionInfo", kRootDepth);
  return xml.finish();
}

std::string render_xml(const ConstuctionInfo& document) {
  std::string text;
  const ByteSink append = [&](std::string& bytes) -> common::Result<void> {
    text += bytes;
    bytes.clear();
    return {};
  };
  (void)write_xml(document, append);
  return text;
}

common::Result<void> write_construction_info(const ConstuctionInfo& document,
                                             const std::string& output_path,
                                             std::span<const platform::FileIdentity> inputs) {
  auto file = platform::OutputFile::create(output_path, inputs);
  if (!file) {
    return std::unexpected(common::wrap_error(
        "Failed to create " + platform::display_path(output_path), file.error()));
  }
  // Written on this thread: a writer thread of its own, or the margins
  // formatted on every core, made a large case slower on two cores.
  const ByteSink to_file = [&](std::string& bytes) {
    auto written = file->write(bytes);
    bytes.clear();
    return written;
  };
  common::Result<void> written = write_xml(document, to_file);
  if (written) written = file->commit();
  if (!written) {
    return std::unexpected(common::wrap_error(
        "Failed to write " + platform::display_path(output_path), written.error()));
  }
  return {};
}

std::string_view reconstruction_type_name(ReconstructionType type) {
  switch (type) {
    case ReconstructionType::AnatomicCrown:
      return "AnatomicCrown";
    case ReconstructionType::AnatomicInlay:
      return "AnatomicInlay";
    case ReconstructionType::OverlayCrown:
      return "OverlayCrown";
    case ReconstructionType::Veneer:
      return "Veneer";
  }
  return "AnatomicCrown";
}

}  // namespace constructioninfo
