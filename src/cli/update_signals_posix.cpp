#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "cli/update_signals.h"

namespace zelka::cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

constexpr char kGoesOn[] =
    "zelka: stopping now would leave the printer in its bootloader; the update goes on "
    "(press Ctrl+C once more to abandon it at the next block)\n";
constexpr char kAbandoning[] =
    "zelka: abandoning the update at the next block; the printer will wait in its bootloader\n";

// What the handler may touch: plain values and a lock-free flag, set before it is
// installed.
int gErrFd = STDERR_FILENO;
bool gNewLineFirst = false;
std::atomic<bool>* gAbandon = nullptr;
std::atomic<int> gInterrupts{0};

// A closed pipe or terminal loses the note; the update goes on all the same.
void Write(const char* text, std::size_t length) {
  ssize_t written = 0;
  if (gNewLineFirst) written = ::write(gErrFd, "\n", 1);
  written = ::write(gErrFd, text, length);
  (void)written;
}

void OnSignal(int signal) {
  const int saved = errno;
  if (signal == SIGINT && gInterrupts++ > 0) {
    gAbandon->store(true);
    Write(kAbandoning, sizeof kAbandoning - 1);
  } else {
    Write(kGoesOn, sizeof kGoesOn - 1);
  }
  errno = saved;
}

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the handler uses them");

}  // namespace

struct UpdateSignals::Impl {
  bool armed = false;
  struct sigaction previous[std::size(kSignals)] = {};
  struct sigaction previousPipe = {};
};

UpdateSignals::UpdateSignals(std::FILE* err, bool terminal, std::atomic<bool>& abandon)
    : impl_(std::make_unique<Impl>()) {
  std::fflush(err);
  gErrFd = ::fileno(err);
  gNewLineFirst = terminal;
  gAbandon = &abandon;
  gInterrupts = 0;
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &impl_->previousPipe);
}

UpdateSignals::~UpdateSignals() {
  Disarm();
  sigaction(SIGPIPE, &impl_->previousPipe, nullptr);
}

void UpdateSignals::Arm() {
  if (impl_->armed) return;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // The three are one: a second one waits until the handler is done with the first.
  for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &impl_->previous[i]);
  impl_->armed = true;
}

void UpdateSignals::Disarm() {
  if (!impl_->armed) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &impl_->previous[i], nullptr);
  impl_->armed = false;
}

}  // namespace zelka::cli
