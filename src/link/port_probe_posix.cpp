#include "link/port_probe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "link/port_name.h"
#include "link/port_owner.h"

namespace zelka::link {

namespace {

using Clock = std::chrono::steady_clock;

// Where programs that lock serial ports leave their lock files ("LCK..ttyUSB0").
constexpr const char* kLockDirectories[] = {"/var/lock", "/run/lock"};
constexpr char kLockPrefix[] = "LCK..";

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

// The lock file's name for a device path, as the serial port library makes it:
// "/dev/pts/3" -> "LCK..pts_3".
std::string LockName(const std::string& path) {
  std::string name = path.starts_with("/dev/") ? path.substr(5) : path;
  std::replace(name.begin(), name.end(), '/', '_');
  return kLockPrefix + name;
}

// True when a living process (this one included) has left a lock file for the device.
// A link takes one while it holds a port; other serial programs do too.
bool LockedByAnyone(const std::string& path) {
  std::error_code error;
  const std::string device = std::filesystem::canonical(path, error).string();
  for (const std::string& name : {LockName(path), LockName(error ? path : device)}) {
    for (const char* directory : kLockDirectories) {
      const int fd = ::open((std::string(directory) + "/" + name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;
      char text[32] = {};
      const ssize_t n = ::read(fd, text, sizeof text - 1);
      ::close(fd);
      // Its first word is the owner's process id (in text, as both kinds of lock write it).
      const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
      if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) return true;
    }
  }
  return false;
}

OpenFailure FailureOf(int error, const std::string& name) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenFailure::kAbsent;
    case EACCES:
    case EPERM: return UserMayOpen(name) ? OpenFailure::kBusy : OpenFailure::kPermissionDenied;
    case EBUSY: return OpenFailure::kBusy;
    default: return OpenFailure::kOther;
  }
}

// One port under probe.
struct Probe {
  std::string name;
  ProbeOutcome* outcome = nullptr;
  int fd = -1;
  termios original{};
  bool waiting = false;  // sent; no reply yet, and the time is not up
  Clock::time_point deadline;
};

void CannotOpen(Probe& probe, OpenFailure failure, std::string error) {
  probe.outcome->opened = Status::kCannotOpen;
  probe.outcome->failure = failure;
  probe.outcome->error = std::move(error);
}

// The line as SerialLink::Open leaves it: raw, 8N1, no flow control, reads that do not
// wait, at `speed`.
bool ApplyLineSettings(int fd, const termios& original, speed_t speed) {
  termios line = original;
  ::cfmakeraw(&line);
  line.c_cflag |= CLOCAL | CREAD;
  line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  line.c_cflag |= CS8;
  line.c_iflag &= ~(IXON | IXOFF | IXANY);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  return ::cfsetispeed(&line, speed) == 0 && ::cfsetospeed(&line, speed) == 0 &&
         ::tcsetattr(fd, TCSANOW, &line) == 0;
}

void Open(Probe& probe, int baud) {
  if (probe.name == kNoPort) {
    probe.outcome->opened = Status::kNoPort;
    return;
  }
  // As SerialLink::Open: a file that is no device is never opened, a name with nothing
  // behind it is absent.
  switch (KindOf(probe.name)) {
    case DeviceKind::kNotDevice: CannotOpen(probe, OpenFailure::kNotSerial, "not a character device"); return;
    case DeviceKind::kMissing: CannotOpen(probe, OpenFailure::kAbsent, std::strerror(ENOENT)); return;
    case DeviceKind::kUnknown:
    case DeviceKind::kDevice: break;
  }
  const std::string path = DevicePath(probe.name);
  if (LockedByAnyone(path)) {
    CannotOpen(probe, OpenFailure::kBusy, "the port is locked by another program");
    return;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    CannotOpen(probe, FailureOf(error, probe.name), std::strerror(error));
    return;
  }
  if (::tcgetattr(fd, &probe.original) != 0) {
    ::close(fd);
    CannotOpen(probe, OpenFailure::kNotSerial, "not a serial port");
    return;
  }
  ::ioctl(fd, TIOCEXCL);
  const speed_t speed = SpeedOf(baud);
  if (speed == B0 || !ApplyLineSettings(fd, probe.original, speed)) {
    ::tcsetattr(fd, TCSANOW, &probe.original);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    probe.outcome->opened = Status::kCannotApplySettings;
    return;
  }
  // A device without modem lines (a pseudo-terminal, some adapters) refuses this.
  const int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIS, &lines);
  // Bytes that came while nobody held the port are no answer to this probe.
  ::tcflush(fd, TCIFLUSH);
  probe.fd = fd;
  probe.outcome->opened = Status::kOk;
}

void Send(Probe& probe, int baud, std::span<const std::uint8_t> frame, std::chrono::milliseconds readTimeout,
          Observer* observer) {
  if (observer) observer->OnSent(probe.name, baud, frame);
  const ssize_t written = ::write(probe.fd, frame.data(), frame.size());
  if (written != static_cast<ssize_t>(frame.size())) {
    // Nothing may trickle out later and pass for part of the next frame.
    ::tcflush(probe.fd, TCOFLUSH);
    return;
  }
  probe.waiting = true;
  probe.deadline = Clock::now() + readTimeout;
}

// Waits until every waiting probe has its byte or its time is up.
void AwaitReplies(std::vector<Probe>& probes, int baud, Observer* observer) {
  std::vector<pollfd> polled;
  std::vector<Probe*> owners;
  for (;;) {
    polled.clear();
    owners.clear();
    const auto now = Clock::now();
    auto first = Clock::time_point::max();
    for (Probe& probe : probes) {
      if (probe.waiting && now >= probe.deadline) probe.waiting = false;
      if (!probe.waiting) continue;
      polled.push_back({probe.fd, POLLIN, 0});
      owners.push_back(&probe);
      first = std::min(first, probe.deadline);
    }
    if (polled.empty()) return;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(first - now);
    if (::poll(polled.data(), polled.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) return;
    for (std::size_t i = 0; i < polled.size(); ++i) {
      if (polled[i].revents == 0) continue;
      Probe& probe = *owners[i];
      std::uint8_t byte = 0;
      if (::read(probe.fd, &byte, 1) == 1) {
        probe.outcome->answered = true;
        if (observer) observer->OnReceived(probe.name, baud, std::span(&byte, 1));
        probe.waiting = false;
      } else if (polled[i].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        probe.waiting = false;  // the device went away
      }
    }
  }
}

// As SerialLink::Close: the bytes leave first, then the line gets its settings back.
void Close(Probe& probe) {
  if (probe.fd < 0) return;
  ::tcdrain(probe.fd);
  ::tcsetattr(probe.fd, TCSANOW, &probe.original);
  ::ioctl(probe.fd, TIOCNXCL);
  ::close(probe.fd);
  probe.fd = -1;
}

}  // namespace

std::vector<ProbeOutcome> ProbePorts(const std::vector<std::string>& ports, int baud,
                                     std::span<const std::uint8_t> frame,
                                     std::chrono::milliseconds readTimeout, Observer* observer) {
  std::vector<ProbeOutcome> outcomes(ports.size());
  std::vector<Probe> probes(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    probes[i].name = ports[i];
    probes[i].outcome = &outcomes[i];
    Open(probes[i], baud);
  }
  for (Probe& probe : probes) {
    if (probe.fd >= 0) Send(probe, baud, frame, readTimeout, observer);
  }
  AwaitReplies(probes, baud, observer);
  for (Probe& probe : probes) Close(probe);
  return outcomes;
}

}  // namespace zelka::link
