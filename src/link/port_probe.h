// The search's probe of many ports at once: each port opened at one rate, sent one short
// frame, and given a time to answer with a byte; then closed again.
//
// A probe sets up its port as SerialLink::Open does and puts the same bytes on the line,
// but keeps no buffers, takes no lock file and needs no thread of its own: a search over
// a hundred ports costs little beyond its wait for replies.
//
// Thread-safety: ProbePorts may run on any thread; the observer is told on that thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/serial_link.h"

namespace zelka::link {

struct ProbeOutcome {
  // kOk, or why the port was not probed: kCannotOpen (see failure and error),
  // kCannotApplySettings, kNoPort.
  Status opened = Status::kNotOpen;
  OpenFailure failure = OpenFailure::kNone;
  std::string error;      // the system's words for an open failure
  bool answered = false;  // the frame went out whole and a byte came back in time
};

// Opens each of `ports` at `baud` (8N1, no flow control, DTR and RTS raised where the
// device has them, input that arrived while it was closed discarded), writes `frame`,
// and waits up to `readTimeout` from its write for one byte in reply; the ports are
// probed at once, not one after another. Every port is closed (once its bytes have left)
// before this returns. The outcomes are in the order of `ports`; the observer, when
// given, is told of each frame written and each reply read, as a link tells it.
std::vector<ProbeOutcome> ProbePorts(const std::vector<std::string>& ports, int baud,
                                     std::span<const std::uint8_t> frame,
                                     std::chrono::milliseconds readTimeout, Observer* observer);

}  // namespace zelka::link
