// The drawing of a product: its mesh, shaded light, with the margin line
// over it, from above and from two sides, each an inline SVG with a
// millimetre scale. Each SVG carries its layout (class "view", data-right,
// data-up, data-frame, data-scale, data-centre), from which a point's
// place in it follows: x = left + size/2 + (p·right − centre.x) × scale,
// y = top + size/2 − (p·up − centre.y) × scale, in the units of its
// viewBox (240 × 266, its natural size in CSS pixels).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_records.h"

namespace report {

// Appends the three views of `product` as <figure>s, and a legend; nothing
// when it has neither mesh nor margin line. `marked` holds, for each margin
// point, whether a finding concerns it; `label` names the product in the
// pictures' text alternatives (HTML-escaped already).
void append_product_views(std::string& out, const Product& product, const std::vector<bool>& marked,
                          std::string_view label);

}  // namespace report
