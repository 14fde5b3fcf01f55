#include "remote/serve_connection.h"

#include <QEventLoop>
#include <QTcpSocket>

#include <string>

#include "remote/connection_timing.h"
#include "remote/line_protocol.h"
#include "remote/line_reader.h"
#include "remote/session.h"
#include "remote/socket_line_writer.h"

namespace zelka::remote {

namespace {

// The most bytes taken from the socket at once; what the reader holds stays bounded by
// this plus one line.
constexpr qint64 kReadChunkBytes = 64 * 1024;

// Waits for more of the client's bytes and hands them to the reader. False when the
// client has gone (after everything it sent has been handed over) or the server stops.
bool Receive(QTcpSocket& socket, LineReader& reader, const std::atomic<bool>& stop) {
  while (socket.bytesAvailable() == 0) {
    if (stop || socket.state() != QAbstractSocket::ConnectedState) return false;
    // Without a time-out for the client (an idle client keeps its connection), but
    // looking up now and then for the stop flag.
    socket.waitForReadyRead(static_cast<int>(kStopPollPeriod.count()));
  }
  const QByteArray bytes = socket.read(kReadChunkBytes);
  reader.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return true;
}

}  // namespace

void ServeConnection(qintptr descriptor, const Host& host, const std::atomic<bool>& stop) {
  // Qt's sockets and serial ports register notifiers with their thread's event
  // dispatcher even when used blocking; making a loop gives this thread one. It never runs.
  const QEventLoop dispatcherHolder;
  QTcpSocket socket;
  // Fails only for a descriptor that is no connected socket: there is nobody to serve.
  if (!socket.setSocketDescriptor(descriptor)) return;
  // Lets the system find a peer that vanished without closing (a pulled cable); a live
  // idle client is never cut off.
  socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);

  SocketLineWriter writer(socket, stop);
  if (!writer.WriteLine(kGreeting)) return;
  Session session(host, writer);
  LineReader reader;
  std::string line;
  while (!stop) {
    switch (reader.Next(line)) {
      case LineReader::Result::Line:
        if (session.OnLine(line) == Session::Next::Close) return;
        break;
      case LineReader::Result::TooLong:
        return;
      case LineReader::Result::NeedMore:
        if (!Receive(socket, reader, stop)) return;
        break;
    }
  }
}

}  // namespace zelka::remote
