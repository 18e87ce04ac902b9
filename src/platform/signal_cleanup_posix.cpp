#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>
#include <mutex>

#include "platform/signal_cleanup.h"

namespace platform {

namespace {

// Read by the handler, which may only touch plain memory and call
// async-signal-safe functions.
std::array<char, 4096> pending_path{};
volatile std::sig_atomic_t has_pending_path = 0;

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void remove_pending_then_end(int signal_number) {
  if (has_pending_path != 0) ::unlink(pending_path.data());
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void install_handlers() {
  for (const int signal_number : kFatalSignals) {
    struct sigaction current {};
    ::sigaction(signal_number, nullptr, &current);
    if (current.sa_handler == SIG_IGN) continue;  // nohup and its kind stay in charge
    struct sigaction action {};
    action.sa_handler = remove_pending_then_end;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace

void watch_fatal_signals() {
  static std::once_flag installed;
  std::call_once(installed, install_handlers);
}

void remove_on_fatal_signal(const std::string& path) {
  watch_fatal_signals();
  has_pending_path = 0;
  if (path.size() >= pending_path.size()) return;
  std::memcpy(pending_path.data(), path.c_str(), path.size() + 1);
  has_pending_path = 1;
}

void forget_on_fatal_signal() { has_pending_path = 0; }

}  // namespace platform
