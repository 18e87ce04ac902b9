// A stand-in for the virus scanners, indexers and sync clients that open
// a fresh file for a moment: until STOP exists, it opens every "*.tmp"
// file in FOLDER as soon as it sees one, and now and then holds every
// "*.constructionInfo" there for a moment without letting it be deleted
// or renamed over. On leaving it prints how many temporaries it saw and
// how many it could open.
//
//   temporary_grabber FOLDER STOP
//
// With --hold it stands for a program that holds the output itself: it
// opens FILE, sharing it with nobody ("none") or letting others read and
// write it but not delete or rename over it ("no-delete"), creates READY,
// and closes FILE again after MILLISECONDS.
//
//   temporary_grabber --hold FILE none|no-delete MILLISECONDS READY
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> matching(const std::wstring& folder, const wchar_t* pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const HANDLE found = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
  if (found == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(folder + L"\\" + entry.cFileName);
  } while (FindNextFileW(found, &entry));
  FindClose(found);
  return names;
}

HANDLE open_for_reading(const std::wstring& path, DWORD share) {
  return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int hold(const std::wstring& file, const std::wstring& sharing, DWORD milliseconds,
         const std::wstring& ready) {
  const DWORD share = sharing == L"none" ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  const HANDLE held = open_for_reading(file, share);
  if (held == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  Sleep(milliseconds);
  CloseHandle(held);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 6 && std::wstring(argv[1]) == L"--hold") {
    return hold(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)), argv[5]);
  }
  if (argc != 3) return 2;
  const std::wstring folder = argv[1];
  const std::wstring stop = argv[2];
  unsigned long seen = 0;
  unsigned long opened = 0;
  for (unsigned long round = 0; GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES;
       ++round) {
    for (const auto& name : matching(folder, L"*.tmp")) {
      ++seen;
      const HANDLE handle =
          open_for_reading(name, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
      if (handle == INVALID_HANDLE_VALUE) continue;
      ++opened;
      Sleep(2);
      CloseHandle(handle);
    }
    if (round % 8 != 0) continue;
    std::vector<HANDLE> held;
    for (const auto& name : matching(folder, L"*.constructionInfo")) {
      const HANDLE handle = open_for_reading(name, FILE_SHARE_READ | FILE_SHARE_WRITE);
      if (handle != INVALID_HANDLE_VALUE) held.push_back(handle);
    }
    Sleep(20);
    for (const HANDLE handle : held) CloseHandle(handle);
  }
  std::printf("seen %lu opened %lu\n", seen, opened);
  return 0;
}
