// The link lock: one printer exchange at a time.
//
// Contract:
// - Every printer operation (a window handler or a remote command, from its first
//   OpenPort to its last ClosePort) holds one PrinterOperation for its whole length.
//   Frames of two operations therefore never interleave on the line.
// - The lock is re-entrant: an operation that triggers another one on the same thread
//   (the paper-width actions run inside the identification) nests without deadlock,
//   and the inner one sees the outer one's open port (OpenPort returns 3).
// - The serial link's functions and globals (serial_link.h), PrinterVariant and
//   PaperWidthMm are only touched while the lock is held.
// - When the outermost PrinterOperation of a thread ends and a port is still open, it is
//   closed: the port object belongs to the thread that opened it, and the next operation
//   may run on another thread. An operation that fails half-way thus never hands an open
//   port (possibly at a bootloader speed) to the next one.
// - Never wait for the window's thread while holding the lock: the window's thread may be
//   waiting for the lock itself.
#pragma once

#include <mutex>

namespace zelka::link {

class PrinterOperation {
 public:
  PrinterOperation();
  ~PrinterOperation();
  PrinterOperation(const PrinterOperation&) = delete;
  PrinterOperation& operator=(const PrinterOperation&) = delete;

  // How many PrinterOperations the calling thread holds (0 when it holds none).
  static int DepthOnThisThread();
};

}  // namespace zelka::link
