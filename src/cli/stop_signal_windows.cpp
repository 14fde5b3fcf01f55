#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <windows.h>

#include <mutex>

#include "cli/stop_signal.h"

namespace zelka::cli {

namespace {

struct Target {
  QObject receiver;  // on the event loop's thread: `stop` runs there
  std::function<void()> stop;
  HANDLE ended = nullptr;  // set once the StopSignal is gone, the command's cleanup done
};

// The console's control handler runs on a thread of its own, at any time: the StopSignal
// it reaches is guarded by this mutex.
std::mutex gMutex;
Target* gTarget = nullptr;

// The system ends the process as soon as the handler returns from a close, log-off or
// shut-down event (and after about five seconds in any case): the handler waits for the
// command to finish its cleanup first.
constexpr DWORD kCleanupWaitMs = 4000;

BOOL WINAPI OnControl(DWORD event) {
  HANDLE ended = nullptr;
  {
    const std::lock_guard lock(gMutex);
    if (!gTarget) return FALSE;
    QMetaObject::invokeMethod(&gTarget->receiver, gTarget->stop, Qt::QueuedConnection);
    ended = gTarget->ended;
  }
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      if (ended) WaitForSingleObject(ended, kCleanupWaitMs);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

struct StopSignal::Impl : Target {};

StopSignal::StopSignal(std::function<void()> stop) : impl_(std::make_unique<Impl>()) {
  impl_->stop = std::move(stop);
  impl_->ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    const std::lock_guard lock(gMutex);
    gTarget = impl_.get();
  }
  if (!SetConsoleCtrlHandler(OnControl, TRUE)) {
    error_ = "the console's control handler could not be set (system error " +
             std::to_string(GetLastError()) + ")";
  }
}

StopSignal::~StopSignal() {
  SetConsoleCtrlHandler(OnControl, FALSE);
  {
    const std::lock_guard lock(gMutex);
    gTarget = nullptr;
  }
  // The event outlives the wait of a handler that took it before the lock: it is closed
  // with the process.
  if (impl_->ended) SetEvent(impl_->ended);
}

}  // namespace zelka::cli
