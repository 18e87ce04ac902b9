# Writes OUTPUT, the text of SOURCE with CRLF line ends, as Windows editors
# expect them.
file(READ "${SOURCE}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
