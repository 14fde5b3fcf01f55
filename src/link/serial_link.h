// One serial link: a port opened by name, its transmit and receive buffers, and the
// exchanges over it (send a frame, read a reply of known length).
//
// The buffers are members, allocated once when the link is made and reused by every
// exchange; a link is kept for as long as its port may be used again.
//
// The device itself is reached through the platform's own calls (serial_link_posix.cpp,
// serial_link_windows.cpp); what a read, a write and an open mean is the same everywhere.
//
// From its first open until ReleasePort() (or its end) a link holds the port's lock
// (link/port_lock.h) also while the port is closed, so that no other program takes the
// port between two steps of one job.
//
// Thread-safety: none. A link belongs to one thread at a time (the printer worker, or a
// probe thread the worker waits for); the open device lives from Open to Close on the
// thread that opened it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/port_lock.h"

namespace zelka::link {

enum class Status {
  kOk,
  kReadShort,            // fewer bytes than asked for arrived in time
  kNotOpen,              // Send/Receive with no port open
  kNoPort,               // Open: the name is "0", the printer's port is not known
  kAlreadyOpen,          // Open: this link has a port open already
  kWriteShort,           // Send: not every byte was written in time
  kCannotOpen,           // Open: see OpenFailure for why
  kCannotApplySettings,  // Open: the device refused 8N1 at the rate
};

// Why a port could not be opened, as the system said it.
enum class OpenFailure {
  kNone,
  kAbsent,            // no such device
  kPermissionDenied,  // the user may not open it
  kBusy,              // another program holds it
  kNotSerial,         // it is no serial device (a regular file, a directory)
  kOther,
};

inline constexpr std::size_t kBufferSize = 740960;
inline constexpr int kDefaultBaud = 57600;
inline constexpr const char* kNoPort = "0";  // the printer's port when none is known

// Longest silence between two bytes of one reply, once the first byte has come.
inline constexpr std::chrono::milliseconds kInterByteTimeout{300};
// Every write may take this long beyond the time its bytes need on the line.
inline constexpr std::chrono::milliseconds kWriteTimeout{5000};

// How long a write of `length` bytes at `baud` may take: the base plus twice the time of
// ten bit times per byte, so that a large frame at a slow rate is never cut short.
std::chrono::milliseconds WriteTimeoutFor(std::size_t length, int baud);

// Told of every frame written and every reply read, on the link's thread (for tests and
// for the command line's trace).
class Observer {
 public:
  virtual ~Observer() = default;
  virtual void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) = 0;
  // `bytes` are those that arrived, also when fewer than asked for.
  virtual void OnReceived(const std::string& port, int baud,
                          std::span<const std::uint8_t> bytes) = 0;
};

class SerialLink {
 public:
  // Buffers of kBufferSize bytes each, what the largest frame (a logo file) needs; a link
  // for small frames only (a search's probe) may ask for less.
  explicit SerialLink(std::size_t bufferBytes = kBufferSize);
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens `name` at `baud` (8N1, no flow control, DTR and RTS raised where the device has
  // them) and discards input that arrived while it was closed. kAlreadyOpen and no change
  // when this link is open; kNoPort for the name "0"; kCannotOpen with the reason in
  // LastOpenFailure()/LastOpenError() when the device cannot be opened;
  // kCannotApplySettings with the system's words in LastOpenError() when it opened but
  // took no line settings (no serial port); kCannotOpen with kBusy also when another
  // program holds the port's lock.
  Status Open(const std::string& name, int baud, std::chrono::milliseconds readTimeout);
  // Waits for the written bytes to leave, then closes. The port's lock stays held.
  void Close();
  // Closes and lets go of the port's lock: the job that used this link is over.
  void ReleasePort();
  // Takes over `lock`, held for port `name` (a search's probe took it), so that the job
  // holds the port without a moment's gap between the probe and the link's first open.
  // Nothing when `lock` holds nothing.
  void AdoptLock(const std::string& name, PortLock&& lock);
  // For a link whose caller holds the lock of port `name` already (a search's probe):
  // Open takes no lock of its own for that port, which would only meet the caller's.
  void UseCallersLock(const std::string& name);
  // Whether this link holds the lock of port `name`.
  bool HoldsLock(const std::string& name) const { return lock_.Held() && lockedName_ == name; }
  bool IsOpen() const { return device_ != nullptr; }
  const std::string& PortName() const { return name_; }
  int Baud() const { return baud_; }
  OpenFailure LastOpenFailure() const { return openFailure_; }
  const std::string& LastOpenError() const { return openError_; }

  // The transmit buffer, for frames built in place (a logo file, raster rows).
  std::span<std::uint8_t> TxBuffer() { return tx_; }
  // Clears the receive buffer, then writes TxBuffer()[0, length) in one write. A write
  // that does not finish within WriteTimeoutFor returns kWriteShort and leaves nothing
  // queued behind it.
  Status SendTx(std::size_t length);
  // Copies `frame` into the transmit buffer and sends it (at most the buffer's size).
  Status Send(std::span<const std::uint8_t> frame);
  // Reads exactly `count` bytes into the receive buffer from byte 0. Ends when they have
  // all come, when more than kInterByteTimeout passes between two bytes after the first,
  // or when the read time-out given to Open has passed since the read began.
  Status Receive(std::size_t count);
  // The receive buffer (the bytes of the last reply from byte 0).
  std::span<const std::uint8_t> Rx() const { return rx_; }
  std::uint8_t RxByte(std::size_t index) const { return rx_[index]; }

  // Not owned; nullptr for none. Set while the link is not in use.
  void SetObserver(Observer* observer) { observer_ = observer; }

 private:
  // The open device, defined by each platform's file; deleting it drains the output and
  // closes it.
  struct Device;
  struct DeviceDeleter {
    void operator()(Device* device) const;
  };

  // Platform: opens the device at `baud` with the line settings of Open into device_;
  // kCannotOpen (with openFailure_ and openError_ set) or kCannotApplySettings (with
  // openError_ set) otherwise.
  Status OpenDevice(const std::string& name, int baud);
  // Platform: writes `bytes` within `timeout`; false when not all of them left in time,
  // and then nothing of them stays queued.
  bool WriteDevice(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout);
  // Platform: reads up to `wanted` bytes into rx_ from byte 0 under Receive's time-outs;
  // how many came.
  std::size_t ReadDevice(std::size_t wanted);

  std::vector<std::uint8_t> tx_;
  std::vector<std::uint8_t> rx_;
  std::size_t rxDirty_ = 0;  // rx_ is zero from here on
  std::unique_ptr<Device, DeviceDeleter> device_;
  std::string name_;
  PortLock lock_;
  std::string lockedName_;  // the port lock_ was taken for
  bool callersLock_ = false;  // lockedName_'s lock is the caller's, not lock_
  int baud_ = kDefaultBaud;
  std::chrono::milliseconds readTimeout_{0};
  OpenFailure openFailure_ = OpenFailure::kNone;
  std::string openError_;
  Observer* observer_ = nullptr;
};

}  // namespace zelka::link
