#include "remote/remote_client.h"

#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QHostAddress>

#include <thread>

namespace zelka::testing {

namespace {

int Milliseconds(const QDeadlineTimer& deadline) {
  return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0));
}

}  // namespace

bool RemoteClient::Connect(std::uint16_t port) {
  socket_.connectToHost(QHostAddress::LocalHost, port);
  return socket_.waitForConnected(static_cast<int>(kReplyTimeout.count()));
}

void RemoteClient::Send(std::string_view bytes) {
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  while (socket_.bytesToWrite() > 0 &&
         socket_.waitForBytesWritten(static_cast<int>(kReplyTimeout.count()))) {
  }
}

bool RemoteClient::Fill(std::chrono::milliseconds timeout) {
  if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(static_cast<int>(timeout.count())))
    return false;
  buffer_.append(socket_.readAll().toStdString());
  return true;
}

std::string RemoteClient::Read(std::size_t count, std::chrono::milliseconds timeout) {
  const QDeadlineTimer deadline(timeout);
  while (buffer_.size() < count && !deadline.hasExpired()) {
    if (!Fill(std::chrono::milliseconds(Milliseconds(deadline))) &&
        socket_.state() != QAbstractSocket::ConnectedState)
      break;
  }
  const std::string out = buffer_.substr(0, count);
  buffer_.erase(0, out.size());
  return out;
}

std::string RemoteClient::ReadLine(std::chrono::milliseconds timeout) {
  const QDeadlineTimer deadline(timeout);
  std::size_t end;
  while ((end = buffer_.find("\r\n")) == std::string::npos && !deadline.hasExpired()) {
    if (!Fill(std::chrono::milliseconds(Milliseconds(deadline))) &&
        socket_.state() != QAbstractSocket::ConnectedState)
      break;
  }
  const std::size_t length = end == std::string::npos ? buffer_.size() : end + 2;
  const std::string out = buffer_.substr(0, length);
  buffer_.erase(0, length);
  return out;
}

std::string RemoteClient::ReadPending() {
  Fill(std::chrono::milliseconds(10));
  std::string out;
  out.swap(buffer_);
  return out;
}

bool RemoteClient::WaitClosed(std::chrono::milliseconds timeout) {
  const QDeadlineTimer deadline(timeout);
  while (socket_.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
    if (socket_.waitForReadyRead(Milliseconds(deadline)))
      buffer_.append(socket_.readAll().toStdString());
  }
  return socket_.state() != QAbstractSocket::ConnectedState;
}

void RemoteClient::Reset() {
  // A zero linger time makes close() send a reset, like a client that crashed.
  const linger immediately{.l_onoff = 1, .l_linger = 0};
  setsockopt(static_cast<int>(socket_.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
             sizeof immediately);
  socket_.abort();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace zelka::testing
