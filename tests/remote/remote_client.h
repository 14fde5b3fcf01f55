// A blocking test client of the remote service on the loopback interface.
#pragma once

#include <QTcpSocket>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zelka::testing {

// Generous upper bounds: the waits end as soon as their condition holds.
inline constexpr std::chrono::milliseconds kReplyTimeout{20000};

class RemoteClient {
 public:
  // Connects to 127.0.0.1:`port`; false when nobody accepts.
  bool Connect(std::uint16_t port);
  void Send(std::string_view bytes);
  // Reads until `count` bytes have come (fewer when the connection ends or time runs out).
  std::string Read(std::size_t count, std::chrono::milliseconds timeout = kReplyTimeout);
  // The next line the server wrote, CR LF included; what came when the connection ended
  // or time ran out otherwise.
  std::string ReadLine(std::chrono::milliseconds timeout = kReplyTimeout);
  // Whatever has arrived so far, after one short look at the socket.
  std::string ReadPending();
  // True once the server has closed the connection.
  bool WaitClosed(std::chrono::milliseconds timeout = kReplyTimeout);
  void Close() { socket_.close(); }
  // Closes with a reset instead of an orderly close.
  void Reset();

 private:
  bool Fill(std::chrono::milliseconds timeout);

  QTcpSocket socket_;
  std::string buffer_;
};

// Polls `condition` every millisecond until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kReplyTimeout);

}  // namespace zelka::testing
