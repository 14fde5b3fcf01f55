// The program's end of the simulator's line, in plain POSIX calls, so that the simulator
// is tested without the program's own serial code.
#pragma once

#include <chrono>
#include <string>

#include <termios.h>

#include "sim/simulator.h"

namespace zelka::sim::test {

class SlavePort {
 public:
  // Opens `name` raw, 8N1, at `baud` in both directions.
  SlavePort(const std::string& name, int baud);
  ~SlavePort();
  SlavePort(const SlavePort&) = delete;
  SlavePort& operator=(const SlavePort&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void SetBaud(int baud);
  // The result of write(2): the byte count, or -1 with errno set.
  long Write(const Bytes& bytes);
  // Up to `count` bytes, returning as soon as they are there or when `timeout` runs out.
  Bytes Read(std::size_t count, std::chrono::milliseconds timeout);
  // The result of one read(2) of whatever is there: 0 at the end of the line, -1 on error.
  long ReadOnce();
  void Close();
  // Closes the way serial libraries do: first putting back the line settings that were
  // there when the port was opened.
  void CloseRestoringSettings();

 private:
  int fd_ = -1;
  termios found_{};
};

}  // namespace zelka::sim::test
