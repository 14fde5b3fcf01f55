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
  bool Read(std::vector<std::uint8_t>& out);
  // Never blocks: bytes the program's side has no room for are lost, as on a real line.
  void Write(const std::vector<std::uint8_t>& bytes);
  // The rate the program set on the slave; the pair shares one set of line settings.
  // 0 when it cannot be told.
  int LineBaud() const;
  // Whether a program closed the slave since the last call. Asked after reading, this
  // also covers every close that came before the bytes just read, however quickly the
  // program opened the port again.
  bool SlaveClosedSinceLastAsked();
  // A program that closes the port without reading its replies must not find them there
  // when it opens the port again: a real line loses what nobody listens to.
  void DiscardUnreadReplies();

 private:
  void WatchSlave();
  int CountCloseEvents();

  int master_ = -1;
  std::string slaveName_;
  // Close events of the slave's device node. Without them (no inotify), a close is seen
  // as a hang-up after the slave was in use, which misses a quick close and reopen.
  int notify_ = -1;
  int ownCloses_ = 0;  // close events of our own that are still to come
  bool slaveInUse_ = false;
  bool closedSinceAsked_ = false;
};

}  // namespace zelka::sim
