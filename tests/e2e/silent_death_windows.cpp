// A Windows program that dies with no word: it adds a line to "starts" in
// the current folder, so that a test can count how often it was started,
// and ends itself with status 3 before printing anything.
#include <windows.h>

int main() {
  const HANDLE starts = CreateFileW(L"starts", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (starts == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(starts, "started\n", 8, &written, nullptr);
  CloseHandle(starts);
  TerminateProcess(GetCurrentProcess(), 3);
  return 0;
}
