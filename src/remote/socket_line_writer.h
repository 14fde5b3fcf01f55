// Writes the program's lines (the greeting and the identity records) to one client.
//
// Each line goes out whole before the call returns, so a record reaches the client as
// soon as its query is done. A write that fails, or that the client does not take within
// kWriteTimeout, marks the connection as gone: every later write fails at once, and the
// identification that is writing its records gives up.
//
// Thread-safety: none; used on its connection's thread only, like the socket it writes to.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "remote/session.h"

class QTcpSocket;

namespace zelka::remote {

// A client that leaves a record unread this long is treated as gone.
inline constexpr std::chrono::milliseconds kWriteTimeout{10000};

class SocketLineWriter final : public RecordWriter {
 public:
  // `stop` set: the server is shutting down and writes fail, so that an identification
  // under way ends after its current query instead of running to its end.
  SocketLineWriter(QTcpSocket& socket, const std::atomic<bool>& stop);

  // UTF-8 text; characters from 128 upward go out as "?", then CR LF.
  bool WriteLine(std::string_view utf8);
  bool WriteRecord(const std::string& line) override { return WriteLine(line); }
  bool Failed() const { return failed_; }

 private:
  bool Flush();

  QTcpSocket& socket_;
  const std::atomic<bool>& stop_;
  bool failed_ = false;
};

}  // namespace zelka::remote
