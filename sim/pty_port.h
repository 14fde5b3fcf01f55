// The master side of a pseudo-terminal, as the simulated printer's end of the line.
// POSIX only (openpty). Used by one thread at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zelka::sim {

class PtyPort {
 public:
  // The rate the line shows while no program holds it. Closing a port puts back the line
  // settings that were there when it was opened, so bytes still unread when the program
  // closed the port show this rate, not the one they were sent at. No printer runs at it.
  static constexpr int kIdleBaud = 50;

  PtyPort() = default;
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  // Creates the pair in raw mode and lets go of the slave: until a program opens it by
  // SlaveName(), the master reports a hang-up.
  bool Open(std::string* error);
  // The device vanishes: the program's reads then see the end, its writes fail.
  void Close();
  bool IsOpen() const { return master_ >= 0; }
  const std::string& SlaveName() const { return slaveName_; }

  struct Readiness {
    bool readable = false;  // bytes are waiting
    bool hungUp = false;    // no program holds the slave open
  };
  Readiness Wait(std::chrono::milliseconds timeout);
  // Reads what is waiting into `out` (replacing its contents). False when nothing could
  // be read, which includes the slave having been closed.
  bool Read(std::vector<std::uint8_t>& out, std::size_t most = SIZE_MAX);
  // Never blocks: bytes the program's side has no room for are lost, as on a real line.
  void Write(const std::vector<std::uint8_t>& bytes);
  // The rate the program set on the slave; the pair shares one set of line settings.
  // 0 when it cannot be told.
  int LineBaud() const;
  // Sleeps while nobody holds the slave, until a program opens it or `timeout` passes.
  // (A master without a slave polls as ready without end, so Wait() cannot do this.)
  void WaitForOpen(std::chrono::milliseconds timeout);
  // Whether a program closed the slave since the last call. Asked after reading, this
  // also covers every close that came before the bytes just read, however quickly the
  // program opened the port again.
  bool SlaveClosedSinceLastAsked();
  // A program that closes the port without reading its replies must not find them there
  // when it opens the port again: a real line loses what nobody listens to.
  void DiscardUnreadReplies();

 private:
  void WatchSlave();
  // Empties the event queue: the number of closes in it; an open in it sets openSeen_.
  int TakeEvents();

  int master_ = -1;
  std::string slaveName_;
  // Open and close events of the slave's device node. Without them (no inotify), a close
  // is seen as a hang-up after the slave was in use, which misses a quick close and
  // reopen, and an open is waited for by napping.
  int notify_ = -1;
  int ownCloses_ = 0;  // close events of our own that are still to come
  bool openSeen_ = false;
  bool slaveInUse_ = false;
  bool closedSinceAsked_ = false;
};

}  // namespace zelka::sim
