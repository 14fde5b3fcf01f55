#include "link/serial_link.h"

#include <QSerialPort>

#include "link/line_drain.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zelka::link {

std::uint8_t TxBuffer[kBufferSize];
std::int32_t TxLength = 0;
std::uint8_t RxBuffer[kBufferSize];
std::int32_t RxCount = 0;
bool PortIsOpen = false;
std::string CurrentPortName = kNoPort;
std::int32_t CurrentBaud = kDefaultBaud;

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<QSerialPort> openPort;
std::chrono::milliseconds readTimeout{0};
TxTap txTap;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

bool ApplyLineSettings(QSerialPort& port, std::int32_t baud) {
  return port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
         port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
         port.setFlowControl(QSerialPort::NoFlowControl);
}

}  // namespace

StatusCode OpenPort(const std::string& name, std::int32_t baud, int readTimeoutMs) {
  if (PortIsOpen) return kAlreadyOpen;
  if (name == kNoPort) return kNoPrinterPort;

  auto port = std::make_unique<QSerialPort>();
  port->setPortName(QString::fromStdString(name));
  // Given before the open, the settings are what the open itself applies: the line never
  // passes through the driver's default rate, where a peer still reading the last
  // session's bytes would take them for noise.
  ApplyLineSettings(*port, baud);
  if (!port->open(QIODevice::ReadWrite)) return kCannotOpen;
  if (!ApplyLineSettings(*port, baud)) return kCannotApplySettings;
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

  openPort = std::move(port);
  readTimeout = std::chrono::milliseconds(std::max(readTimeoutMs, 0));
  CurrentBaud = baud;
  PortIsOpen = true;
  return kOk;
}

StatusCode ClosePort() {
  if (PortIsOpen && openPort) {
    DrainOutput(*openPort);
    openPort->close();
  }
  openPort.reset();
  PortIsOpen = false;
  return kOk;
}

void ClearTxBuffer() {
  std::memset(TxBuffer, 0, sizeof TxBuffer);
  TxLength = 0;
}

void ClearRxBuffer() {
  std::memset(RxBuffer, 0, sizeof RxBuffer);
  RxCount = 0;
}

StatusCode SendTx() {
  if (!PortIsOpen || !openPort) return kNotOpen;
  ClearRxBuffer();
  const std::int32_t length = std::clamp<std::int32_t>(TxLength, 0, kBufferSize);
  if (length == 0) return kOk;
  if (txTap) txTap(std::span<const std::uint8_t>(TxBuffer, static_cast<std::size_t>(length)));

  QSerialPort& port = *openPort;
  if (port.write(reinterpret_cast<const char*>(TxBuffer), length) != length) {
    port.clear(QSerialPort::Output);
    return kWriteShort;
  }
  const auto deadline = Clock::now() + kWriteTimeout;
  while (port.bytesToWrite() > 0) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0 || !port.waitForBytesWritten(left)) break;
  }
  if (port.bytesToWrite() > 0) {
    // Nothing may trickle out later and pass for part of the next frame.
    port.clear(QSerialPort::Output);
    port.clearError();
    return kWriteShort;
  }
  return kOk;
}

StatusCode ReceiveRx(std::int32_t count) {
  if (!PortIsOpen || !openPort) return kNotOpen;
  const std::int32_t wanted = std::clamp<std::int32_t>(count, 0, kBufferSize);
  QSerialPort& port = *openPort;

  const auto start = Clock::now();
  const auto totalDeadline = start + readTimeout;
  auto lastByte = start;
  std::int32_t got = 0;
  while (got < wanted) {
    const qint64 n = port.read(reinterpret_cast<char*>(RxBuffer) + got, wanted - got);
    if (n < 0) break;
    if (n > 0) {
      got += static_cast<std::int32_t>(n);
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
  if (got < wanted) return kReadShort;
  RxCount = wanted;
  return kOk;
}

void ResetLinkState() {
  ClosePort();
  ClearTxBuffer();
  ClearRxBuffer();
  CurrentPortName = std::string(kNoPort);
  CurrentBaud = kDefaultBaud;
}

void SetTxTap(TxTap tap) { txTap = std::move(tap); }

}  // namespace zelka::link
