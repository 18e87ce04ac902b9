#include "tool_runner_posix.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

const char kSeparator = '/';

const std::string_view kNotText = "\xFF";
const SystemError kFileNotFound{"No such file or directory", ENOENT};
const SystemError kFolderNotFound{"No such file or directory", ENOENT};
const SystemError kIsADirectory{"Is a directory", EISDIR};
const SystemError kInvalidName{"No such file or directory", ENOENT};

namespace {

struct Spawned {
  pid_t pid = -1;
  fs::path out_path;
  fs::path err_path;
};

Spawned spawn(const std::vector<std::string>& arguments, const fs::path& directory,
              const Launch& launch, int broken_pipe) {
  Spawned spawned;
  spawned.out_path = directory.parent_path() / (directory.filename().string() + ".stdout");
  spawned.err_path = directory.parent_path() / (directory.filename().string() + ".stderr");
  std::vector<std::string> argv_text = launch.prefix;
  argv_text.push_back(launch.program);
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& argument : argv_text) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  switch (launch.output) {
    case Launch::Output::File:
      posix_spawn_file_actions_addopen(&actions, 1, spawned.out_path.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
      break;
    case Launch::Output::Closed:
      posix_spawn_file_actions_addclose(&actions, 1);
      break;
    case Launch::Output::BrokenPipe:
      posix_spawn_file_actions_adddup2(&actions, broken_pipe, 1);
      break;
    case Launch::Output::Discard:
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      break;
  }
  posix_spawn_file_actions_addopen(
      &actions, 2,
      launch.output == Launch::Output::Discard ? "/dev/null" : spawned.err_path.c_str(),
      O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (posix_spawnp(&spawned.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    spawned.pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return spawned;
}

Outcome finish(const Spawned& spawned) {
  Outcome outcome;
  if (spawned.pid < 0) return outcome;
  int status = 0;
  waitpid(spawned.pid, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = read_bytes(spawned.out_path);
  outcome.err = read_bytes(spawned.err_path);
  fs::remove(spawned.out_path);
  fs::remove(spawned.err_path);
  return outcome;
}

}  // namespace

Outcome run_launched(const std::vector<std::string>& arguments, const fs::path& directory,
                     const Launch& launch) {
  // A pipe whose reading end is closed before the tool starts.
  int pipe_ends[2] = {-1, -1};
  if (launch.output == Launch::Output::BrokenPipe && ::pipe(pipe_ends) != 0) return {};
  if (pipe_ends[0] >= 0) ::close(pipe_ends[0]);
  const Spawned spawned = spawn(arguments, directory, launch, pipe_ends[1]);
  if (pipe_ends[1] >= 0) ::close(pipe_ends[1]);
  return finish(spawned);
}

Outcome run_tool(const std::vector<std::string>& arguments, const fs::path& directory) {
  return run_launched(arguments, directory, Launch{});
}

Outcome run_checker(const std::vector<std::string>& arguments, const fs::path& directory) {
  Launch launch;
  launch.program = DAZ_CHECKER;
  return run_launched(arguments, directory, launch);
}

pid_t start_tool(const std::vector<std::string>& arguments, const fs::path& directory,
                 const std::vector<std::string>& prefix) {
  return spawn(arguments, directory, Launch{prefix, Launch::Output::Discard}, -1).pid;
}

std::vector<std::string> unprivileged_prefix() {
  if (::geteuid() != 0) return {};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

}  // namespace e2e
