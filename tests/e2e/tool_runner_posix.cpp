#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "tool_runner.h"

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

const char kSeparator = '/';

const SystemError kFileNotFound{"No such file or directory", ENOENT};
const SystemError kFolderNotFound{"No such file or directory", ENOENT};
const SystemError kIsADirectory{"Is a directory", EISDIR};

void remove_tree(const fs::path& path) { fs::remove_all(path); }

Outcome run_tool(const std::vector<std::string>& arguments, const fs::path& directory) {
  const fs::path out_path = directory.parent_path() / (directory.filename().string() + ".stdout");
  const fs::path err_path = directory.parent_path() / (directory.filename().string() + ".stderr");
  std::vector<std::string> argv_text{DAZ_TOOL};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& argument : argv_text) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, DAZ_TOOL, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  Outcome outcome;
  if (spawned != 0) return outcome;
  int status = 0;
  waitpid(pid, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = read_bytes(out_path);
  outcome.err = read_bytes(err_path);
  fs::remove(out_path);
  fs::remove(err_path);
  return outcome;
}

}  // namespace e2e
