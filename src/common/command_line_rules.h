// The rules that the command lines of both programs, the tool and its
// checker, follow: what asks for help or the version, and the form of a
// usage error.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

enum class Informational { Help, Version };

// The first -h/--help or -V/--version among `arguments` (the program's
// name left out), wherever it stands before "--": it wins over any fault
// of the rest of the line. Short flags may stand together ("-hV" asks for
// help, "-Vh" for the version, "-ho" for help); a letter of
// `short_options_with_values` takes the rest of its argument as its value
// ("-oh" gives the value "h"). After "--" every argument is a path.
std::optional<Informational> first_informational(const std::vector<std::string>& arguments,
                                                 std::string_view short_options_with_values);

// A usage error as both programs print it: "error: <what>", the usage
// line, and where to find more.
std::string usage_error_text(std::string_view what, std::string_view usage);

}  // namespace common
