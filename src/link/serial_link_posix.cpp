// The link over Qt Serial Port, which opens pseudo-terminals and real UARTs alike.
#include <QSerialPort>

#include <termios.h>

#include <algorithm>

#include "link/port_owner.h"
#include "link/serial_link.h"

namespace zelka::link {

struct SerialLink::Device {
  QSerialPort port;
};

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

OpenFailure FailureOf(QSerialPort::SerialPortError error, const std::string& name) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError: return OpenFailure::kAbsent;
    case QSerialPort::PermissionError:
      return UserMayOpen(name) ? OpenFailure::kBusy : OpenFailure::kPermissionDenied;
    case QSerialPort::OpenError: return OpenFailure::kBusy;
    default: return OpenFailure::kOther;
  }
}

}  // namespace

void SerialLink::DeviceDeleter::operator()(Device* device) const {
  // Closing resets the line settings, which would garble bytes still in the transmitter.
  if (device->port.isOpen() && device->port.handle() >= 0) tcdrain(device->port.handle());
  device->port.close();
  delete device;
}

Status SerialLink::OpenDevice(const std::string& name, int baud) {
  device_.reset(new Device);
  QSerialPort& port = device_->port;
  port.setPortName(QString::fromStdString(name));
  // Given before the open, the settings are what the open itself applies: the line never
  // passes through the driver's default rate, where a peer still reading the last
  // session's bytes would take them for noise.
  ApplyLineSettings(port, baud);
  if (!port.open(QIODevice::ReadWrite)) {
    openFailure_ = FailureOf(port.error(), name);
    openError_ = port.errorString().toStdString();
    return Status::kCannotOpen;
  }
  if (!ApplyLineSettings(port, baud)) return Status::kCannotApplySettings;
  // A device without modem lines (a pseudo-terminal, some adapters) refuses these; the
  // line works all the same, so the refusal is not an open failure.
  port.setDataTerminalReady(true);
  port.setRequestToSend(true);
  port.clearError();
  // A real serial port does not keep what arrived while nobody had it open: a reply the
  // program chose not to read must not pass for the answer to the next query. Only the
  // input: on a pseudo-terminal, flushing the output would also take back bytes that an
  // earlier session wrote and the other end has not read yet.
  port.clear(QSerialPort::Input);
  return Status::kOk;
}

bool SerialLink::WriteDevice(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) {
  QSerialPort& port = device_->port;
  const auto size = static_cast<qint64>(bytes.size());
  if (port.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
    port.clear(QSerialPort::Output);
    return false;
  }
  const auto deadline = Clock::now() + timeout;
  while (port.bytesToWrite() > 0) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0 || !port.waitForBytesWritten(left)) break;
  }
  if (port.bytesToWrite() > 0) {
    // Nothing may trickle out later and pass for part of the next frame.
    port.clear(QSerialPort::Output);
    port.clearError();
    return false;
  }
  return true;
}

std::size_t SerialLink::ReadDevice(std::size_t wanted) {
  QSerialPort& port = device_->port;
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
  return got;
}

}  // namespace zelka::link
