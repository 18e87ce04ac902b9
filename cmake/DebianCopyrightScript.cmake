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
file(WRITE "${OUTPUT}" "${text}")
