#include "link/serial_link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/port_owner.h"

namespace zelka::link {


std::chrono::milliseconds WriteTimeoutFor(std::size_t length, int baud) {
  constexpr std::uint64_t kBitsPerByte = 10;  // start, eight data bits, stop
  const std::uint64_t rate = baud > 0 ? static_cast<std::uint64_t>(baud) : 1;
  const std::uint64_t lineMs = (2 * kBitsPerByte * length * 1000 + rate - 1) / rate;
  return kWriteTimeout + std::chrono::milliseconds(lineMs);
}

SerialLink::SerialLink(std::size_t bufferBytes) : tx_(bufferBytes), rx_(bufferBytes) {}

SerialLink::~SerialLink() { Close(); }

Status SerialLink::Open(const std::string& name, int baud, std::chrono::milliseconds readTimeout) {
  if (device_) return Status::kAlreadyOpen;
  if (name == kNoPort) return Status::kNoPort;
  openFailure_ = OpenFailure::kNone;
  openError_.clear();
  // A file that is no device (-p /etc/passwd) is never opened: written to as a port, it
  // would be damaged. A name with nothing behind it is absent before any lock file for
  // it is made, so that two programs that try it at once both learn that, not "busy".
  switch (KindOf(name)) {
    case DeviceKind::kNotDevice:
      openFailure_ = OpenFailure::kNotSerial;
      openError_ = "not a character device";
      return Status::kCannotOpen;
    case DeviceKind::kMissing:
      openFailure_ = OpenFailure::kAbsent;
      openError_ = std::strerror(ENOENT);
      return Status::kCannotOpen;
    case DeviceKind::kUnknown:
    case DeviceKind::kDevice: break;
  }
  const bool locked = lockedName_ == name && (callersLock_ || lock_.Held());
  if (!locked) {
    callersLock_ = false;
    if (lock_.Take(name) == PortLock::Outcome::kTaken) {
      openFailure_ = OpenFailure::kBusy;
      openError_ = kPortLockedText;
      return Status::kCannotOpen;
    }
    lockedName_ = name;
  }
  if (const Status status = OpenDevice(name, baud); status != Status::kOk) {
    device_.reset();
    return status;
  }
  name_ = name;
  baud_ = baud;
  readTimeout_ = std::max(readTimeout, std::chrono::milliseconds{0});
  return Status::kOk;
}

void SerialLink::Close() { device_.reset(); }

void SerialLink::ReleasePort() {
  Close();
  lock_.Release();
  lockedName_.clear();
  callersLock_ = false;
}

void SerialLink::AdoptLock(const std::string& name, PortLock&& lock) {
  // A lock that holds nothing (the prober found the port held by this link already, or
  // the system keeps no lock files) takes nothing away from what this link holds.
  if (device_ || !lock.Held()) return;
  lock_ = std::move(lock);
  lockedName_ = lock_.Held() ? name : std::string();
  callersLock_ = false;
}

void SerialLink::UseCallersLock(const std::string& name) {
  if (device_) return;
  lock_.Release();
  lockedName_ = name;
  callersLock_ = true;
}

Status SerialLink::Send(std::span<const std::uint8_t> frame) {
  const std::size_t length = std::min(frame.size(), tx_.size());
  // A frame built in the buffer itself is already in place.
  if (frame.data() != tx_.data()) std::memmove(tx_.data(), frame.data(), length);
  return SendTx(length);
}

Status SerialLink::SendTx(std::size_t length) {
  if (!device_) return Status::kNotOpen;
  // Only what a reply has written since the last clear can be other than zero.
  std::fill_n(rx_.begin(), rxDirty_, 0);
  rxDirty_ = 0;
  length = std::min(length, tx_.size());
  if (length == 0) return Status::kOk;
  const std::span<const std::uint8_t> bytes(tx_.data(), length);
  if (observer_) observer_->OnSent(name_, baud_, bytes);
  return WriteDevice(bytes, WriteTimeoutFor(length, baud_)) ? Status::kOk : Status::kWriteShort;
}

Status SerialLink::Receive(std::size_t count) {
  if (!device_) return Status::kNotOpen;
  const std::size_t wanted = std::min(count, rx_.size());
  const std::size_t got = wanted == 0 ? 0 : std::min(ReadDevice(wanted), wanted);
  rxDirty_ = std::max(rxDirty_, got);
  if (observer_ && got > 0) observer_->OnReceived(name_, baud_, std::span(rx_.data(), got));
  return got < wanted ? Status::kReadShort : Status::kOk;
}

}  // namespace zelka::link
