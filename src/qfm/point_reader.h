// The one reading of a point of the case file. Every road that meets a
// point (the field table of a record, the shortcut for the usual forms,
// the points read ahead on other cores) comes here, so that a rule added
// to a point or to its coordinates reaches them all.
#pragma once

#include <optional>

#include "json/reader.h"
#include "qfm/point_list.h"

namespace qfm {

// A point in one of its two usual forms, [x, y, z] or {"x": x, "y": y,
// "z": z}, at the reader's next character; none for any other text, a
// fault included (the reader's position then does not matter, and
// read_point reports the fault).
std::optional<Vec3> read_usual_point(json::Reader& reader);

// A point in any form the case file allows, or its fault: the usual forms
// through read_usual_point, any other text read again from its start
// through the point's field table, which has every message.
json::Result<Vec3> read_point(json::Reader& reader);

}  // namespace qfm
