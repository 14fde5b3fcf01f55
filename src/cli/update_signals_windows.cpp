#include <windows.h>

#include "cli/update_signals.h"

namespace zelka::cli {

namespace {

constexpr char kGoesOn[] =
    "zelka: stopping now would leave the printer in its bootloader; the update goes on "
    "(press Ctrl+C once more to abandon it at the next block)\r\n";
constexpr char kAbandoning[] =
    "zelka: abandoning the update at the next block; the printer will wait in its bootloader\r\n";

// Set before the handler is installed; the handler runs on a thread of its own.
HANDLE gErr = INVALID_HANDLE_VALUE;
std::atomic<bool>* gAbandon = nullptr;
std::atomic<int> gInterrupts{0};
// Set once the transfer is over, for a handler that holds the console's close back.
HANDLE gTransferOver = nullptr;

void Write(const char* text, DWORD length) {
  DWORD written = 0;
  WriteFile(gErr, text, length, &written, nullptr);
}

BOOL WINAPI OnControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      if (gInterrupts++ > 0) {
        gAbandon->store(true);
        Write(kAbandoning, sizeof kAbandoning - 1);
        return TRUE;
      }
      [[fallthrough]];
    case CTRL_BREAK_EVENT: Write(kGoesOn, sizeof kGoesOn - 1); return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The system ends the program when this returns (or when its own time is up):
      // holding on here gives the update all the time the system allows.
      Write(kGoesOn, sizeof kGoesOn - 1);
      WaitForSingleObject(gTransferOver, INFINITE);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

struct UpdateSignals::Impl {
  bool armed = false;
};

UpdateSignals::UpdateSignals(std::FILE* err, bool, std::atomic<bool>& abandon)
    : impl_(std::make_unique<Impl>()) {
  std::fflush(err);
  gErr = GetStdHandle(STD_ERROR_HANDLE);
  gAbandon = &abandon;
  gInterrupts = 0;
  if (!gTransferOver) gTransferOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

UpdateSignals::~UpdateSignals() { Disarm(); }

void UpdateSignals::Arm() {
  if (impl_->armed) return;
  ResetEvent(gTransferOver);
  SetConsoleCtrlHandler(OnControl, TRUE);
  impl_->armed = true;
}

void UpdateSignals::Disarm() {
  if (!impl_->armed) return;
  SetEvent(gTransferOver);
  SetConsoleCtrlHandler(OnControl, FALSE);
  impl_->armed = false;
}

}  // namespace zelka::cli
