#include "link/line_drain.h"

#include <windows.h>

namespace zelka::link {

void DrainOutput(QSerialPort& port) {
  if (port.handle() != INVALID_HANDLE_VALUE) FlushFileBuffers(port.handle());
}

}  // namespace zelka::link
