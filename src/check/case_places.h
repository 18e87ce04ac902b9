// Where each part of a case stands in its case file's text, so that a
// finding can name its line and column. Found by walking the text with the
// case reader's own JSON reader, after the tool has read it without fault.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace check {

// A member of an object, or a value of a record written as an array (then
// named by its field and placed at its value).
struct MemberPlace {
  std::string name;
  std::size_t name_offset = 0;
  std::size_t value_offset = 0;
  bool named = true;  // false in the array form
};

struct RecordPlaces {
  std::size_t offset = 0;            // the opening bracket
  std::vector<MemberPlace> members;  // in text order

  // Where the value of field `name` begins; the record's start when the
  // text does not hold it.
  std::size_t value_offset(std::string_view name) const;
  bool holds(std::string_view name) const;
};

// An inline point that holds a member reading does not take; points
// without one are not kept, so that a long margin costs no memory here.
struct OddPointPlaces {
  std::size_t index = 0;  // in the product's margin_line_coordinates
  RecordPlaces record;
};

struct ProductPlaces {
  RecordPlaces record;
  std::optional<std::string> type_name;   // product_type as written (either form)
  std::vector<std::size_t> teeth;         // each tooth_iso_number entry
  std::vector<std::size_t> bounding_box;  // each bounding_box value
  std::vector<OddPointPlaces> odd_points;
};

struct CasePlaces {
  RecordPlaces record;
  std::vector<ProductPlaces> products;
};

// The places of `text`, a case file's text that the case reader reads
// without fault; on other text, what was found before the fault.
CasePlaces find_case_places(std::string_view text);

// A byte offset of `text` as a finding's line and column (both from 1).
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;
};
TextPosition position_in(std::string_view text, std::size_t offset);

// The positions of many offsets (in any order), found in one pass over the
// text: a finding's place costs no second walk of a long case file.
std::vector<TextPosition> positions_in(std::string_view text,
                                       const std::vector<std::size_t>& offsets);

}  // namespace check
