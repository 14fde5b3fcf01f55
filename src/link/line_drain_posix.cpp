#include "link/line_drain.h"

#include <termios.h>

namespace zelka::link {

void DrainOutput(QSerialPort& port) {
  const auto fd = port.handle();
  if (fd >= 0) tcdrain(fd);
}

}  // namespace zelka::link
