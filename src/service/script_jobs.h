// Jobs that a script brings with it: a QR code of its own payload, a prepared job sent
// byte for byte, and the feed and cut after what it printed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

// The largest prepared job `print raw` takes: far more than a receipt with pictures
// needs, small enough to hold whole and to refuse before anything is sent.
inline constexpr std::size_t kRawJobLimit = 1024 * 1024;
// A prepared job goes out in writes of this size, so that a failing line is noticed
// within a write's time-out and the trace shows the job in readable pieces.
inline constexpr std::size_t kRawJobWrite = 4096;

// Opens the printer's port, sends the QR frames with all of `payload` (1 to
// commands::kQrMaxPayloadBytes bytes; callers refuse other lengths first) and, with
// `cut`, seven lines of feed and a cut; closes the port. kNotSent at the first write that
// did not go out whole.
printer::Result PrintQrPayload(printer::Session& session, std::span<const std::uint8_t> payload, bool cut);

// Opens the printer's port, feeds seven lines and cuts (ESC d 7, ESC i), closes it.
printer::Result FeedAndCut(printer::Session& session);

struct RawJobSent {
  printer::Result result;
  std::size_t bytesSent = 0;  // bytes of writes that went out whole
};

// Opens the printer's port and sends `job` as it is, in writes of kRawJobWrite bytes,
// stopping at the first that does not go out whole; closes the port.
RawJobSent SendRawJob(printer::Session& session, std::span<const std::uint8_t> job);

}  // namespace zelka::service
