// The page's style sheet, for the screen and for A4 paper. Its colours are
// the Okabe–Ito ones that readers with any common colour blindness tell
// apart: the margin line blue, points with findings vermillion, warnings
// orange; the mesh in greys, and every colour named in words too.
#pragma once

#include <string_view>

namespace report {

std::string_view page_style();

}  // namespace report
