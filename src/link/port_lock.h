// A hold on one serial port for the whole of a job, against every program on the machine
// that takes the same lock: the window, zelka and zelka serve. A job closes and reopens
// its port between steps (the bootloader changes its rate in between); no other program
// may slip a frame into such a gap.
//
// On POSIX systems the lock is an flock on a file in the system's lock directory, named
// after the device: its number and the time its node was made, so that every name of
// one device (a link under /dev/serial/by-id, a name without /dev/) takes the same lock,
// while a device that comes anew under an old number (an adapter plugged in again, a
// pseudo-terminal made again) does not inherit the lock of the one that went, which a job
// may still hold. On Windows it is an exclusive open of a file named after the port.
// Either way the system lets go of it when the program ends, however it ends: a killed
// program leaves no stale lock.
//
// Thread-safety: none; a lock belongs to one link.
#pragma once

#include <cstdint>
#include <string>

namespace zelka::link {

// What a program of this family is told of a port whose lock another one holds.
inline constexpr char kPortLockedText[] = "the port is in use by another program";

class PortLock {
 public:
  enum class Outcome {
    kHeld,    // this lock holds the port now
    kTaken,   // another program (or another lock of this one) holds it
    kNoLock,  // the system has no lock to give for it (no such device, no lock folder):
              // the job goes on without one
  };

  PortLock() = default;
  ~PortLock() { Release(); }
  PortLock(const PortLock&) = delete;
  PortLock& operator=(const PortLock&) = delete;
  // A lock taken for a search's probe is handed on to the link of the port found.
  PortLock(PortLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
  PortLock& operator=(PortLock&& other) noexcept {
    if (this != &other) {
      Release();
      handle_ = other.handle_;
      other.handle_ = kNone;
    }
    return *this;
  }

  // Takes the lock of `portName` without waiting; lets go of any lock held before.
  Outcome Take(const std::string& portName);
  void Release();
  bool Held() const { return handle_ != kNone; }

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a descriptor, or a Windows handle
  std::string path_;              // the lock file, removed when let go where the system allows
};

}  // namespace zelka::link
