// Waiting until every byte written to a serial line has left the machine.
#pragma once

#include <QSerialPort>

namespace zelka::link {

// Returns when the device has sent everything written to it (or at once where the
// platform cannot tell). Closing a port resets its line settings, which would garble
// bytes still in the transmitter.
void DrainOutput(QSerialPort& port);

}  // namespace zelka::link
