// The serial link to the printer: one port at a time, one transmit and one receive
// buffer, integer status codes.
//
// Every printer operation follows one pattern: OpenPort with the printer's port, rate
// and a read time-out of its own, one or more exchanges (fill TxBuffer from byte 0, set
// TxLength, SendTx; ReceiveRx with the reply's exact length, read RxBuffer), ClosePort.
//
// Thread-safety: none of this is thread-safe on its own. All of it (functions and
// globals alike) belongs to whoever holds the link lock (link_lock.h); a printer
// operation takes the lock before its first OpenPort and releases it after its last
// ClosePort. The port object has thread affinity, so a port is opened, used and closed
// on one thread; the outermost lock holder closes a port that was left open.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace zelka::link {

using StatusCode = std::int32_t;

// Status codes of the link. Other layers add codes of their own to the same space.
inline constexpr StatusCode kOk = 0;
inline constexpr StatusCode kReadShort = 1;        // fewer bytes than asked for arrived in time
inline constexpr StatusCode kNotOpen = 2;          // SendTx/ReceiveRx: no port is open
inline constexpr StatusCode kNoPrinterPort = 2;    // OpenPort: the name is "0"
inline constexpr StatusCode kAlreadyOpen = 3;      // OpenPort: a port is open already
inline constexpr StatusCode kWriteShort = 1007;    // SendTx: not every byte was written
inline constexpr StatusCode kCannotOpen = 2001;    // OpenPort: absent, in use or refused
inline constexpr StatusCode kCannotReadSettings = 2002;
inline constexpr StatusCode kCannotApplySettings = 2003;

inline constexpr std::size_t kBufferSize = 740960;
inline constexpr int kDefaultBaud = 57600;
inline constexpr const char* kNoPort = "0";  // CurrentPortName when no printer is known

// Longest silence between two bytes of one reply, once the first byte has come.
inline constexpr std::chrono::milliseconds kInterByteTimeout{300};
// A write that has not finished by then gives up.
inline constexpr std::chrono::milliseconds kWriteTimeout{5000};

// The one transmit and the one receive buffer; a frame and a reply start at byte 0.
// Both live for the whole run; no exchange allocates a buffer of its own.
extern std::uint8_t TxBuffer[kBufferSize];
extern std::int32_t TxLength;
extern std::uint8_t RxBuffer[kBufferSize];
extern std::int32_t RxCount;

extern bool PortIsOpen;
// The port of the printer found or chosen last, as the port list names it; "0" = none.
extern std::string CurrentPortName;
// The rate of the printer found or chosen last; every successful OpenPort sets it.
extern std::int32_t CurrentBaud;

// Opens `name` at `baud` (8N1, no flow control, DTR and RTS raised where the device has
// them) and discards input that arrived while it was closed. Returns 3 and changes
// nothing when a port is open; 2 for the name "0"; 2001 when the device cannot be opened.
StatusCode OpenPort(const std::string& name, std::int32_t baud, int readTimeoutMs);
// Closes the open port, if any. Always 0.
StatusCode ClosePort();
void ClearTxBuffer();
void ClearRxBuffer();
// Clears RxBuffer, then writes TxBuffer[0, TxLength) in one write. A write that cannot
// finish within kWriteTimeout returns 1007 and leaves nothing queued behind it.
StatusCode SendTx();
// Reads exactly `count` bytes into RxBuffer from byte 0. Ends when they have all come,
// when more than kInterByteTimeout passes between two bytes after the first, or when the
// read time-out given to OpenPort has passed since the read began. Returns 1 on a short
// read (the bytes that came stay in RxBuffer, RxCount is not changed).
StatusCode ReceiveRx(std::int32_t count);

// Sets the process-wide values to their start-up state ("0", 57600, buffers zero) and
// closes any open port. Start-up runs it once; tests run it before each case.
void ResetLinkState();

// Test seam: called with the bytes of every SendTx that reaches an open port, in order.
// A serial line does not keep write boundaries, so tests that check how a frame is split
// into writes look here. Empty function = no tap.
using TxTap = std::function<void(std::span<const std::uint8_t>)>;
void SetTxTap(TxTap tap);

}  // namespace zelka::link
