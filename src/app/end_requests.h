// The system or the user's session asking the window to end: SIGTERM, SIGHUP (a logout)
// and SIGINT on POSIX systems, the end of the session on Windows. A firmware update cut
// short leaves the printer in its bootloader, so the window does not go during one.
//
// POSIX: a request that comes while `busy` says an update runs is held, and `end` runs
// once the update is over; at any other time `end` runs at once. Windows: the session's
// end is refused while an update runs (the system shows why) and goes ahead otherwise.
//
// Thread-safety: made, used and destroyed on the window's thread; `busy` and `end` run
// there.
#pragma once

#include <QTimer>

#include <functional>
#include <memory>

namespace zelka::app {

class EndRequests {
 public:
  EndRequests(std::function<bool()> busy, std::function<void()> end);
  // Puts the default handling back.
  ~EndRequests();
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

 private:
  // The system's side: signal handlers, or a filter of the window's messages.
  struct Native;
  using NativePtr = std::unique_ptr<Native, void (*)(Native*)>;
  static NativePtr MakeNative(EndRequests& owner);
  // A request arrived (on the window's thread).
  void Requested();

  std::function<bool()> busy_;
  std::function<void()> end_;
  // While a request is held: looks whether the update is over.
  QTimer heldRequest_;
  NativePtr native_;
};

}  // namespace zelka::app
