// One client of the remote service, served on the network thread without a thread of its
// own: its lines are read as they come, one command at a time runs as a printer job, and
// what the program writes goes out as the client takes it.
//
// Limits that keep a hostile or broken client from costing more than a few lines' worth:
// - the next line is read only when the command before it is done, and no more than
//   kReadAhead bytes are read ahead meanwhile (the rest waits in the system's buffers,
//   which then hold the client back);
// - nothing is read while kMaxUnsent bytes of replies wait for the client to take them;
// - a client that takes nothing of a reply for kWriteStall has gone.
// A client that shuts down its sending side has not gone: what it sent runs and its
// replies are written; the connection ends when they are out. A client has gone when a
// write to it fails.
//
// Thread-safety: the network thread only.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "remote/line_protocol.h"
#include "remote/line_reader.h"
#include "remote/mailbox.h"
#include "remote/socket_io.h"

namespace zelka::remote {

class ConnectionHub;

inline constexpr std::size_t kReadAhead = 2 * (kMaxLineBytes + 2);
inline constexpr std::size_t kMaxUnsent = 64 * 1024;
inline constexpr std::chrono::milliseconds kWriteStall{10000};
// How often a client that has ended its input is looked at while its commands wait: one
// that closed for good (a reset came back) has gone, and its searches are dropped.
inline constexpr std::chrono::milliseconds kDepartedCheck{100};

class Connection final : public QObject {
  Q_OBJECT

 public:
  Connection(SocketDescriptor descriptor, ConnectionHub& hub);
  ~Connection() override;

  // Greets the client and starts reading.
  void Start();
  // UTF-8 text; characters from 128 upward go out as "?", then CR LF.
  void WriteLine(std::string_view utf8);
  // The command handed to the hub is done: the next line may run.
  void CommandDone();
  bool Gone() const { return gone_; }
  // Ends the connection when its client has closed it for good (a reset came back).
  void DropIfDeparted() { CheckDeparted(); }
  // Posts to this connection from any thread; dropped once it has ended.
  const std::shared_ptr<Mailbox>& Box() const { return box_; }

 private:
  void OnReadable();
  void ReadInput();
  void ServeLines();
  bool RunLine(const std::string& line);
  void Flush();
  void UpdateReading();
  void Fail();
  void CheckDeparted();
  void End();

  SocketDescriptor descriptor_;
  ConnectionHub& hub_;
  std::shared_ptr<Mailbox> box_;
  QSocketNotifier readable_;
  QSocketNotifier writable_;
  QTimer stall_;
  QTimer departed_;
  LineReader reader_;
  std::string unsent_;
  bool busy_ = false;       // a command of this client is queued or running
  bool inputEnded_ = false;
  bool endWhenSent_ = false;
  bool firstLine_ = true;
  bool gone_ = false;
  bool ended_ = false;
};

}  // namespace zelka::remote
