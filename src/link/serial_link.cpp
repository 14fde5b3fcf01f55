#include "link/serial_link.h"

#include <QSerialPort>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/line_drain.h"
#include "link/port_owner.h"

namespace zelka::link {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

bool ApplyLineSettings(QSerialPort& port, int baud) {
  return port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
         port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
         port.setFlowControl(QSerialPort::NoFlowControl);
}

// What a program of this family tells the user when another one holds the port.
constexpr char kLockedByAnotherProgram[] = "the port is in use by another program";

OpenFailure FailureOf(QSerialPort::SerialPortError error, const std::string& name) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError: return OpenFailure::kAbsent;
    case QSerialPort::PermissionError:
      return UserMayOpen(name) ? OpenFailure::kBusy : OpenFailure::kPermissionDenied;
    case QSerialPort::OpenError: return OpenFailure::kBusy;
    default: return IsTerminalDevice(name) ? OpenFailure::kOther : OpenFailure::kNotSerial;
  }
}

}  // namespace

std::chrono::milliseconds WriteTimeoutFor(std::size_t length, int baud) {
  constexpr std::uint64_t kBitsPerByte = 10;  // start, eight data bits, stop
  const std::uint64_t rate = baud > 0 ? static_cast<std::uint64_t>(baud) : 1;
  const std::uint64_t lineMs = (2 * kBitsPerByte * length * 1000 + rate - 1) / rate;
  return kWriteTimeout + std::chrono::milliseconds(lineMs);
}

SerialLink::SerialLink() : tx_(kBufferSize), rx_(kBufferSize) {}

SerialLink::~SerialLink() { Close(); }

Status SerialLink::Open(const std::string& name, int baud, std::chrono::milliseconds readTimeout) {
  if (port_) return Status::kAlreadyOpen;
  if (name == kNoPort) return Status::kNoPort;
  openFailure_ = OpenFailure::kNone;
  openError_.clear();
  // A file that is no device (-p /etc/passwd) is never opened: written to as a port, it
  // would be damaged. A name with nothing behind it is absent before any lock file for
  // it is made, so that two programs that try it at once both learn that, not "busy".
  switch (KindOf(name)) {
    case DeviceKind::kNotDevice:
      openFailure_ = OpenFailure::kNotSerial;
      openError_ = "not a character device";
      return Status::kCannotOpen;
    case DeviceKind::kMissing:
      openFailure_ = OpenFailure::kAbsent;
      openError_ = std::strerror(ENOENT);
      return Status::kCannotOpen;
    case DeviceKind::kUnknown:
    case DeviceKind::kDevice: break;
  }
  if (!lock_.Held() || lockedName_ != name) {
    if (lock_.Take(name) == PortLock::Outcome::kTaken) {
      openFailure_ = OpenFailure::kBusy;
      openError_ = kLockedByAnotherProgram;
      return Status::kCannotOpen;
    }
    lockedName_ = name;
  }

  auto port = std::make_unique<QSerialPort>();
  port->setPortName(QString::fromStdString(name));
  // Given before the open, the settings are what the open itself applies: the line never
  // passes through the driver's default rate, where a peer still reading the last
  // session's bytes would take them for noise.
  ApplyLineSettings(*port, baud);
  if (!port->open(QIODevice::ReadWrite)) {
    openFailure_ = FailureOf(port->error(), name);
    openError_ = port->errorString().toStdString();
    return Status::kCannotOpen;
  }
  if (!ApplyLineSettings(*port, baud)) return Status::kCannotApplySettings;
  // A device without modem lines (a pseudo-terminal, some adapters) refuses these; the
  // line works all the same, so the refusal is not an open failure.
  port->setDataTerminalReady(true);
  port->setRequestToSend(true);
  port->clearError();
  // A real serial port does not keep what arrived while nobody had it open: a reply the
  // program chose not to read must not pass for the answer to the next query. Only the
  // input: on a pseudo-terminal, flushing the output would also take back bytes that an
  // earlier session wrote and the other end has not read yet.
  port->clear(QSerialPort::Input);

  port_ = std::move(port);
  name_ = name;
  baud_ = baud;
  readTimeout_ = std::max(readTimeout, std::chrono::milliseconds{0});
  return Status::kOk;
}

void SerialLink::Close() {
  if (!port_) return;
  DrainOutput(*port_);
  port_->close();
  port_.reset();
}

void SerialLink::ReleasePort() {
  Close();
  lock_.Release();
}

void SerialLink::AdoptLock(const std::string& name, PortLock&& lock) {
  if (port_) return;
  lock_ = std::move(lock);
  lockedName_ = lock_.Held() ? name : std::string();
}

Status SerialLink::Send(std::span<const std::uint8_t> frame) {
  const std::size_t length = std::min(frame.size(), kBufferSize);
  // A frame built in the buffer itself is already in place.
  if (frame.data() != tx_.data()) std::memmove(tx_.data(), frame.data(), length);
  return SendTx(length);
}

Status SerialLink::SendTx(std::size_t length) {
  if (!port_) return Status::kNotOpen;
  // Only what a reply has written since the last clear can be other than zero.
  std::fill_n(rx_.begin(), rxDirty_, 0);
  rxDirty_ = 0;
  length = std::min(length, kBufferSize);
  if (length == 0) return Status::kOk;
  const std::span<const std::uint8_t> bytes(tx_.data(), length);
  if (observer_) observer_->OnSent(name_, baud_, bytes);

  QSerialPort& port = *port_;
  const auto size = static_cast<qint64>(length);
  if (port.write(reinterpret_cast<const char*>(tx_.data()), size) != size) {
    port.clear(QSerialPort::Output);
    return Status::kWriteShort;
  }
  const auto deadline = Clock::now() + WriteTimeoutFor(length, baud_);
  while (port.bytesToWrite() > 0) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0 || !port.waitForBytesWritten(left)) break;
  }
  if (port.bytesToWrite() > 0) {
    // Nothing may trickle out later and pass for part of the next frame.
    port.clear(QSerialPort::Output);
    port.clearError();
    return Status::kWriteShort;
  }
  return Status::kOk;
}

Status SerialLink::Receive(std::size_t count) {
  if (!port_) return Status::kNotOpen;
  const std::size_t wanted = std::min(count, kBufferSize);
  QSerialPort& port = *port_;

  const auto start = Clock::now();
  const auto totalDeadline = start + readTimeout_;
  auto lastByte = start;
  std::size_t got = 0;
  while (got < wanted) {
    const qint64 n = port.read(reinterpret_cast<char*>(rx_.data()) + got,
                               static_cast<qint64>(wanted - got));
    if (n < 0) break;
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      rxDirty_ = std::max(rxDirty_, got);
      lastByte = Clock::now();
      continue;
    }
    const auto deadline =
        got == 0 ? totalDeadline : std::min(totalDeadline, lastByte + kInterByteTimeout);
    const int left = MillisecondsUntil(deadline);
    if (left == 0) break;
    if (!port.waitForReadyRead(left)) {
      const bool timedOut = port.error() == QSerialPort::TimeoutError;
      port.clearError();
      // A device that vanished reports at once; waiting on it again would spin.
      if (!timedOut && port.bytesAvailable() == 0) break;
    }
  }
  if (observer_ && got > 0) observer_->OnReceived(name_, baud_, std::span(rx_.data(), got));
  return got < wanted ? Status::kReadShort : Status::kOk;
}

}  // namespace zelka::link
