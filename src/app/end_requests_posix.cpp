#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/end_requests.h"

namespace zelka::app {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The write end of the self-pipe: a handler may only call async-signal-safe functions,
// and write() is one.
volatile std::sig_atomic_t gWriteEnd = -1;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 0;
  if (gWriteEnd >= 0) {
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

struct EndRequests::Native {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  struct sigaction previous[std::size(kSignals)] = {};
  bool installed = false;

  explicit Native(EndRequests& owner) {
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the defaults stay
    gWriteEnd = fds[1];
    notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, &owner] {
      char bytes[16];
      while (::read(fds[0], bytes, sizeof bytes) > 0) {
      }
      owner.Requested();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
    installed = true;
  }

  ~Native() {
    if (installed) {
      for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    }
    gWriteEnd = -1;
    notifier.reset();
    for (int fd : fds) {
      if (fd >= 0) ::close(fd);
    }
  }
};

EndRequests::NativePtr EndRequests::MakeNative(EndRequests& owner) {
  return NativePtr(new Native(owner), [](Native* native) { delete native; });
}

}  // namespace zelka::app
