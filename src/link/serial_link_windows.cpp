// The link over the Win32 serial calls: a synchronous handle on "\\.\COMn", the line set
// through the DCB and every read and write bounded by the port's COMMTIMEOUTS.
#include <windows.h>

#include <QString>

#include <algorithm>

#include "link/port_name.h"
#include "link/serial_link.h"

namespace zelka::link {

struct SerialLink::Device {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

using Clock = std::chrono::steady_clock;

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  QString message = length > 0 ? QString::fromWCharArray(text, static_cast<int>(length)).trimmed()
                               : QStringLiteral("system error %1").arg(code);
  if (text) LocalFree(text);
  if (message.endsWith(QLatin1Char('.'))) message.chop(1);
  return message.toStdString();
}

OpenFailure FailureOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return OpenFailure::kAbsent;
    // A COM port is opened by one program at a time; the next one is denied access.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return OpenFailure::kBusy;
    default: return OpenFailure::kOther;
  }
}

DWORD Milliseconds(std::chrono::milliseconds duration) {
  return static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(duration.count(), 0, MAXDWORD - 1));
}

// A read ends when its bytes have come, when the interval passes between two bytes after
// the first, or when `readTotal` has passed. Zero reads only what has come already (with
// every total at zero the system would wait for ever).
bool SetTimeouts(HANDLE handle, std::chrono::milliseconds readTotal, std::chrono::milliseconds write) {
  COMMTIMEOUTS timeouts{};
  if (readTotal.count() > 0) {
    timeouts.ReadIntervalTimeout = Milliseconds(kInterByteTimeout);
    timeouts.ReadTotalTimeoutConstant = Milliseconds(readTotal);
  } else {
    timeouts.ReadIntervalTimeout = MAXDWORD;
  }
  timeouts.WriteTotalTimeoutConstant = std::max<DWORD>(Milliseconds(write), 1);
  return SetCommTimeouts(handle, &timeouts) != 0;
}

// 8N1 at `baud`, DTR and RTS raised while the port is open, and no flow control of any
// kind, so that a handshake left on by another program cannot hold back a frame.
void ApplyLineSettings(DCB& dcb, int baud) {
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
}

}  // namespace

void SerialLink::DeviceDeleter::operator()(Device* device) const {
  // No FlushFileBuffers: a synchronous WriteFile returns once the driver has taken every
  // byte, and Wine, where this build is tested, discards unsent output on a flush.
  if (device->handle != INVALID_HANDLE_VALUE) CloseHandle(device->handle);
  delete device;
}

Status SerialLink::OpenDevice(const std::string& name, int baud) {
  const std::wstring path = QString::fromStdString(DevicePath(name)).toStdWString();
  // Exclusive, synchronous: every read and write below blocks under the port's time-outs.
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    openFailure_ = FailureOf(error);
    openError_ = SystemMessage(error);
    return Status::kCannotOpen;
  }
  device_.reset(new Device{handle});

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return Status::kCannotApplySettings;
  ApplyLineSettings(dcb, baud);
  if (!SetCommState(handle, &dcb)) return Status::kCannotApplySettings;
  // Bounded from the start; each read and write sets its own.
  SetTimeouts(handle, kInterByteTimeout, kWriteTimeout);
  // A real serial port does not keep what arrived while nobody had it open: a reply the
  // program chose not to read must not pass for the answer to the next query.
  PurgeComm(handle, PURGE_RXCLEAR);
  DWORD errors = 0;
  ClearCommError(handle, &errors, nullptr);
  return Status::kOk;
}

bool SerialLink::WriteDevice(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) {
  const HANDLE handle = device_->handle;
  SetTimeouts(handle, readTimeout_, timeout);
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (written == bytes.size()) return true;
  // Nothing may trickle out later and pass for part of the next frame.
  PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
  DWORD errors = 0;
  ClearCommError(handle, &errors, nullptr);
  return false;
}

std::size_t SerialLink::ReadDevice(std::size_t wanted) {
  const HANDLE handle = device_->handle;
  const auto deadline = Clock::now() + readTimeout_;
  std::size_t got = 0;
  while (got < wanted) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    SetTimeouts(handle, std::max(left, std::chrono::milliseconds{0}), kWriteTimeout);
    DWORD n = 0;
    const BOOL ok = ReadFile(handle, rx_.data() + got, static_cast<DWORD>(wanted - got), &n, nullptr);
    got += n;
    // Returned by itself: every byte came or a time-out ended the read.
    if (ok || left.count() <= 0) break;
    // A line error (overrun, framing) stops reads until it is cleared; anything else is a
    // device that has gone, and waiting on it again would spin.
    if (GetLastError() != ERROR_OPERATION_ABORTED) break;
    DWORD errors = 0;
    ClearCommError(handle, &errors, nullptr);
  }
  return got;
}

}  // namespace zelka::link
