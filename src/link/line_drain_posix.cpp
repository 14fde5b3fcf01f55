#include "link/line_drain.h"

#include <termios.h>

#include <cerrno>

namespace zelka::link {

void DrainOutput(QSerialPort& port) {
  const auto fd = port.handle();
  // A signal (one that a firmware update lets pass) must not cut the wait short: closing
  // the port resets the line while bytes are still on it.
  if (fd >= 0) {
    while (tcdrain(fd) != 0 && errno == EINTR) {
    }
  }
}

}  // namespace zelka::link
