#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "cli/stop_signal.h"

namespace zelka::cli {

namespace {

// The write end of the self-pipe: a handler may only call async-signal-safe functions,
// and write() is one.
volatile std::sig_atomic_t gWriteEnd = -1;

void OnSignal(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  if (gWriteEnd >= 0) {
    // A full pipe already holds a wake-up: the byte may be lost.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
  }
  errno = saved;
}

constexpr int kSignals[] = {SIGINT, SIGTERM};

}  // namespace

struct StopSignal::Impl {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  struct sigaction previous[2] = {};

  ~Impl() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    gWriteEnd = -1;
    notifier.reset();
    for (int fd : fds) {
      if (fd >= 0) ::close(fd);
    }
  }
};

StopSignal::StopSignal(std::function<void()> stop) : impl_(std::make_unique<Impl>()) {
  if (::pipe2(impl_->fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    error_ = std::strerror(errno);
    return;
  }
  gWriteEnd = impl_->fds[1];
  impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fds[0], QSocketNotifier::Read);
  QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, [fd = impl_->fds[0], stop] {
    unsigned char bytes[16];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
    stop();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (sigaction(kSignals[i], &action, &impl_->previous[i]) != 0) error_ = std::strerror(errno);
  }
}

StopSignal::~StopSignal() = default;

}  // namespace zelka::cli
