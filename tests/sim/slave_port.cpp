#include "slave_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zelka::sim::test {
namespace {

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: throw std::invalid_argument("no such rate in the tests: " + std::to_string(baud));
  }
}

}  // namespace

SlavePort::SlavePort(const std::string& name, int baud) {
  fd_ = open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ >= 0) tcgetattr(fd_, &found_);
  if (fd_ >= 0) SetBaud(baud);
}

SlavePort::~SlavePort() { Close(); }

void SlavePort::SetBaud(int baud) {
  termios tio{};
  tcgetattr(fd_, &tio);
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&tio, SpeedOf(baud));
  cfsetospeed(&tio, SpeedOf(baud));
  tcsetattr(fd_, TCSANOW, &tio);
}

long SlavePort::Write(const Bytes& bytes) { return write(fd_, bytes.data(), bytes.size()); }

Bytes SlavePort::Read(std::size_t count, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  Bytes out;
  while (out.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{fd_, POLLIN, 0};
    if (left.count() < 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    std::uint8_t buffer[512];
    const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

long SlavePort::ReadOnce() {
  std::uint8_t buffer[64];
  return read(fd_, buffer, sizeof buffer);
}

void SlavePort::CloseRestoringSettings() {
  if (fd_ >= 0) tcsetattr(fd_, TCSANOW, &found_);
  Close();
}

void SlavePort::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace zelka::sim::test
