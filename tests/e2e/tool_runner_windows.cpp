// Starting the tool on Windows: one command line, quoted so that the tool's
// CommandLineToArgvW gives back each argument exactly, and standard streams
// redirected to files.
#include <windows.h>

#include "platform/wide_path_windows.h"
#include "tool_runner.h"

namespace e2e {

namespace fs = std::filesystem;

const char kSeparator = '\\';

namespace {

constexpr DWORD kLongestRun = 20'000;  // milliseconds
// The status of a run ended for taking too long, as timeout(1) gives it.
constexpr UINT kEndedAfterTimeout = 124;

}  // namespace

const std::string_view kNotText = "\xED\xA0\x80";
const SystemError kFileNotFound{"", ERROR_FILE_NOT_FOUND};
const SystemError kFolderNotFound{"", ERROR_PATH_NOT_FOUND};
// A directory does not open as a file: "access denied".
const SystemError kIsADirectory{"", ERROR_ACCESS_DENIED};
const SystemError kInvalidName{"", ERROR_INVALID_NAME};

namespace {

// The inverse of CommandLineToArgvW: quotes around anything with blanks or
// quotes (or nothing at all); backslashes doubled only where a quote
// follows them.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, L'\\');
  out += L'"';
  return out;
}

HANDLE inheritable_file(const fs::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.wstring().c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

Outcome run_program(const char* program, const std::vector<std::string>& arguments,
                    const fs::path& directory) {
  const fs::path out_path = directory.parent_path() / (directory.filename().string() + ".stdout");
  const fs::path err_path = directory.parent_path() / (directory.filename().string() + ".stderr");
  const std::wstring tool = fs::absolute(program).wstring();
  std::wstring command_line = quoted(tool);
  for (const auto& argument : arguments)
    command_line += L" " + quoted(platform::wide_text(argument));

  PROCESS_INFORMATION process{};
  const std::wstring working_directory = fs::absolute(directory).wstring();
  // Wine now and then fails to start a process under load; a start that
  // fails is tried again a few times, and its error kept for the report.
  BOOL started = FALSE;
  DWORD start_error = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    const HANDLE in = inheritable_file("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = inheritable_file(out_path, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = inheritable_file(err_path, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    // No console: the tool writes to the files, as to any redirected stream.
    started =
        CreateProcessW(tool.c_str(), command_line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                       nullptr, working_directory.c_str(), &startup, &process);
    if (!started) start_error = GetLastError();
    for (const HANDLE handle : {in, out, err}) CloseHandle(handle);
  }
  Outcome outcome;
  if (started) {
    // A run that hangs (a device read without end) fails its test instead
    // of stalling the suite; no run of the tests takes a fraction of this.
    if (WaitForSingleObject(process.hProcess, kLongestRun) == WAIT_TIMEOUT) {
      TerminateProcess(process.hProcess, kEndedAfterTimeout);
      WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD status = 0;
    if (GetExitCodeProcess(process.hProcess, &status)) outcome.status = static_cast<int>(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  outcome.out = read_bytes(out_path);
  outcome.err = read_bytes(err_path);
  if (!started) outcome.err = "the tool did not start: error " + std::to_string(start_error);
  fs::remove(out_path);
  fs::remove(err_path);
  return outcome;
}

}  // namespace

Outcome run_tool(const std::vector<std::string>& arguments, const fs::path& directory) {
  return run_program(DAZ_TOOL, arguments, directory);
}

Outcome run_checker(const std::vector<std::string>& arguments, const fs::path& directory) {
  return run_program(DAZ_CHECKER, arguments, directory);
}

}  // namespace e2e
