#include <windows.h>
// shellapi.h needs windows.h before it.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/process.h"
#include "platform/wide_path_windows.h"

namespace platform {

// The C runtime's argv went through the ANSI code page, which turns every
// letter it lacks into "?"; the wide command line holds the names as typed.
std::vector<std::string> process_arguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> texts;
  if (arguments == nullptr) return texts;
  for (int i = 1; i < count; ++i) texts.push_back(platform::text_from_wide(arguments[i]));
  LocalFree(arguments);
  return texts;
}

void prepare_process() {
  // Text mode would turn every "\n" into "\r\n".
  for (std::FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
  // A drive without a disk fails like any missing path instead of asking
  // the user in a dialog box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
}

}  // namespace platform
