#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include "app/end_requests.h"

namespace zelka::app {

// Windows asks every window before the session ends (WM_QUERYENDSESSION); a window that
// answers FALSE holds the logout or shutdown back, and the system shows the reason given.
struct EndRequests::Native final : QAbstractNativeEventFilter {
  explicit Native(EndRequests& owner) : owner_(owner) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~Native() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

  bool nativeEventFilter(const QByteArray&, void* message, qintptr* result) override {
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_QUERYENDSESSION) return false;
    if (!owner_.busy_()) {
      ShutdownBlockReasonDestroy(msg->hwnd);
      return false;
    }
    ShutdownBlockReasonCreate(msg->hwnd, reinterpret_cast<LPCWSTR>(QCoreApplication::translate(
        "TForm1", "Идёт обновление прошивки принтера").utf16()));
    *result = FALSE;
    return true;
  }

 private:
  EndRequests& owner_;
};

EndRequests::NativePtr EndRequests::MakeNative(EndRequests& owner) {
  return NativePtr(new Native(owner), [](Native* native) { delete native; });
}

}  // namespace zelka::app
