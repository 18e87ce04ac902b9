#include "case_json.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "fuzz_check.h"

namespace fuzz {

namespace {

void append_string(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void append_double(std::string& out, double value) {
  if (value == 0 && std::signbit(value)) {
    out += "-0.0";
    return;
  }
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, written.ptr);
}

// Names and values in field order; the array form drops the names.
class Writer {
 public:
  explicit Writer(JsonForm form) : form_(form) {}

  void open() {
    out_ += form_ == JsonForm::Object ? '{' : '[';
    first_ = true;
  }
  void close() {
    out_ += form_ == JsonForm::Object ? '}' : ']';
    first_ = false;
  }
  // Starts a member (object form) or an element (array form).
  std::string& field(std::string_view name) {
    if (!first_) out_ += ',';
    first_ = false;
    if (form_ == JsonForm::Object) {
      append_string(out_, name);
      out_ += ':';
    }
    return out_;
  }
  void list_open() {
    out_ += '[';
    first_ = true;
  }
  void list_close() {
    out_ += ']';
    first_ = false;
  }
  std::string& element() {
    if (!first_) out_ += ',';
    first_ = false;
    return out_;
  }
  std::string take() { return std::move(out_); }

 private:
  JsonForm form_;
  std::string out_;
  bool first_ = true;
};

const char* product_type_name(qfm::ProductType type) {
  switch (type) {
    case qfm::ProductType::Inlay:
      return "Inlay";
    case qfm::ProductType::Onlay:
      return "Onlay";
    case qfm::ProductType::Overlay:
      return "Overlay";
    case qfm::ProductType::Veneer:
      return "Veneer";
    case qfm::ProductType::Model:
      return "Model";
    case qfm::ProductType::Crown:
      break;
  }
  return "Crown";
}

void write_point(Writer& w, const qfm::Vec3& point) {
  w.open();
  append_double(w.field("x"), point.x);
  append_double(w.field("y"), point.y);
  append_double(w.field("z"), point.z);
  w.close();
}

void write_product(Writer& w, const qfm::Product& product) {
  w.open();
  append_string(w.field("product_type"), product_type_name(product.product_type));
  w.field("tooth_iso_number");
  w.list_open();
  for (const auto number : product.tooth_iso_number) w.element() += std::to_string(number);
  w.list_close();
  w.field("bounding_box");
  w.list_open();
  for (const double value : product.bounding_box) append_double(w.element(), value);
  w.list_close();
  append_string(w.field("color"), product.color);
  append_string(w.field("stl"), product.stl);
  append_string(w.field("pts"), product.pts);
  if (!product.margin_line_coordinates) {
    w.field("margin_line_coordinates") += "null";
  } else {
    w.field("margin_line_coordinates");
    w.list_open();
    for (const auto& point : *product.margin_line_coordinates) {
      w.element();
      write_point(w, point);
    }
    w.list_close();
  }
  w.close();
}

bool same_doubles(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same_bits(a[i], b[i])) return false;
  }
  return true;
}

bool same_points(const std::optional<qfm::PointList>& a, const std::optional<qfm::PointList>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  if (a->size() != b->size()) return false;
  for (std::size_t i = 0; i < a->size(); ++i) {
    const auto& p = (*a)[i];
    const auto& q = (*b)[i];
    if (!same_bits(p.x, q.x) || !same_bits(p.y, q.y) || !same_bits(p.z, q.z)) return false;
  }
  return true;
}

bool same_product(const qfm::Product& a, const qfm::Product& b) {
  return a.product_type == b.product_type && a.tooth_iso_number == b.tooth_iso_number &&
         same_doubles(a.bounding_box, b.bounding_box) && a.color == b.color && a.stl == b.stl &&
         a.pts == b.pts && same_points(a.margin_line_coordinates, b.margin_line_coordinates);
}

}  // namespace

std::string case_to_json(const qfm::CaseMetadata& case_metadata, JsonForm form) {
  Writer w(form);
  w.open();
  append_string(w.field("case_name"), case_metadata.case_name);
  append_string(w.field("machine"), case_metadata.machine);
  append_string(w.field("material"), case_metadata.material);
  append_string(w.field("material_brand_reference"), case_metadata.material_brand_reference);
  w.field("products");
  w.list_open();
  for (const auto& product : case_metadata.products) {
    w.element();
    write_product(w, product);
  }
  w.list_close();
  w.close();
  return w.take();
}

bool same_case(const qfm::CaseMetadata& a, const qfm::CaseMetadata& b) {
  if (a.case_name != b.case_name || a.machine != b.machine || a.material != b.material ||
      a.material_brand_reference != b.material_brand_reference ||
      a.products.size() != b.products.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.products.size(); ++i) {
    if (!same_product(a.products[i], b.products[i])) return false;
  }
  return true;
}

}  // namespace fuzz
