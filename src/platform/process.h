// What the process entry needs of its platform: the arguments as text and
// the process-wide settings made before anything runs.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's own name, as UTF-8 text: on POSIX
// systems the bytes as given; on Windows taken from the wide command line
// and carried as WTF-8, so that any file name still names its file.
std::vector<std::string> process_arguments(int argc, char** argv);

// Settings for the whole process, made first: a write to a closed pipe or
// past the file-size limit is an error value rather than a fatal signal,
// and closed standard streams are reopened on /dev/null (POSIX); standard
// streams carry bytes unchanged, never "\r\n" (Windows).
void prepare_process();

}  // namespace platform
