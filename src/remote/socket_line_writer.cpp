#include "remote/socket_line_writer.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include "remote/connection_timing.h"
#include "remote/line_protocol.h"

namespace zelka::remote {

SocketLineWriter::SocketLineWriter(QTcpSocket& socket, const std::atomic<bool>& stop)
    : socket_(socket), stop_(stop) {}

bool SocketLineWriter::WriteLine(std::string_view utf8) {
  if (failed_ || stop_) return false;
  const std::string line = EncodeWrittenLine(utf8);
  const auto length = static_cast<qint64>(line.size());
  if (socket_.write(line.data(), length) != length || !Flush()) failed_ = true;
  return !failed_;
}

bool SocketLineWriter::Flush() {
  const QDeadlineTimer deadline(kWriteTimeout);
  while (socket_.bytesToWrite() > 0) {
    if (stop_ || deadline.hasExpired() || socket_.state() != QAbstractSocket::ConnectedState) {
      return false;
    }
    // A wait that times out is no failure by itself; the loop looks at the clock.
    socket_.waitForBytesWritten(static_cast<int>(kStopPollPeriod.count()));
  }
  // A failed write aborts the socket, which also drops what was left to write.
  return socket_.state() == QAbstractSocket::ConnectedState;
}

}  // namespace zelka::remote
