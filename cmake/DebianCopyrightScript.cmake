# Writes OUTPUT, the Debian package's copyright file, from SOURCE (the
# repository's COPYRIGHT): the same machine-readable file, except that the
# full GPL text, which every Debian system has under
# /usr/share/common-licenses, is replaced by a pointer there, as Debian's
# policy asks.
file(READ "${SOURCE}" text)
set(gpl_paragraph "\nLicense: GPL-3\\+\n( [^\n]*\n)+")
string(REGEX MATCH "${gpl_paragraph}" found "${text}")
if(NOT found)
  message(FATAL_ERROR "${SOURCE} has no GPL-3+ license paragraph to point to the common licenses")
endif()
string(REGEX REPLACE "${gpl_paragraph}" "\nLicense: GPL-3+
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in /usr/share/common-licenses/GPL-3.
" text "${text}")
# admesh's GPL-2+: its notice, then the full text, which is left out.
set(gpl2_paragraph "\nLicense: GPL-2\\+\n( [^\n]*\n)+")
string(REGEX MATCH "${gpl2_paragraph}" found "${text}")
if(NOT found)
  message(FATAL_ERROR "${SOURCE} has no GPL-2+ license paragraph to point to the common licenses")
endif()
string(REGEX REPLACE "${gpl2_paragraph}" "\nLicense: GPL-2+
 This program is free software; you can redistribute it and/or modify it
 under the terms of the GNU General Public License as published by the Free
 Software Foundation; either version 2 of the License, or (at your option)
 any later version.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 2 can be found in /usr/share/common-licenses/GPL-2.
" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
