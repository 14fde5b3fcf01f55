#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

#include "cli/stop_signal.h"

namespace zelka::cli {

namespace {

// The console's control handler runs on a thread of its own: it only queues `stop` onto
// the application's thread.
std::function<void()>* gStop = nullptr;

BOOL WINAPI OnControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      if (gStop) QMetaObject::invokeMethod(QCoreApplication::instance(), *gStop, Qt::QueuedConnection);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

struct StopSignal::Impl {
  std::function<void()> stop;
  ~Impl() {
    SetConsoleCtrlHandler(OnControl, FALSE);
    gStop = nullptr;
  }
};

StopSignal::StopSignal(std::function<void()> stop) : impl_(std::make_unique<Impl>()) {
  impl_->stop = std::move(stop);
  gStop = &impl_->stop;
  if (!SetConsoleCtrlHandler(OnControl, TRUE)) error_ = "the console's control handler could not be set";
}

StopSignal::~StopSignal() = default;

}  // namespace zelka::cli
