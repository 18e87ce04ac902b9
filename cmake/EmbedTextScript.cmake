# Writes OUTPUT, a C++ file defining SYMBOL as the exact bytes of SOURCE.
file(READ "${SOURCE}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}"
"#include <string_view>\n"
"namespace {\n"
"constexpr char bytes[] = {\n  ${bytes}'\\0'};\n"
"}\n"
"extern const std::string_view ${SYMBOL};\n"
"const std::string_view ${SYMBOL}{bytes, ${byte_count}};\n")
