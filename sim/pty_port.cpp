#include "sim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

namespace zelka::sim {
namespace {

constexpr std::size_t kReadChunkBytes = 65536;
// Without open events, how long a wait for an open lasts at most.
constexpr std::chrono::milliseconds kOpenNap{2};

constexpr std::pair<speed_t, int> kSpeeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},
    {B150, 150},       {B200, 200},       {B300, 300},       {B600, 600},
    {B1200, 1200},     {B1800, 1800},     {B2400, 2400},     {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
    {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

int BaudOfSpeed(speed_t speed) {
  for (const auto& [code, baud] : kSpeeds) {
    if (code == speed) return baud;
  }
  return 0;
}

}  // namespace

PtyPort::~PtyPort() { Close(); }

bool PtyPort::Open(std::string* error) {
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    if (error) *error = std::string("openpty: ") + std::strerror(errno);
    return false;
  }
  const char* name = ptsname(master);
  termios tio{};
  // Raw from the start: with the slave's default echo, a reply written before the program
  // sets its own line settings would come straight back as a command.
  if (!name || tcgetattr(master, &tio) != 0) {
    if (error) *error = std::string("pty setup: ") + std::strerror(errno);
    close(slave);
    close(master);
    return false;
  }
  cfmakeraw(&tio);
  cfsetispeed(&tio, B50);  // kIdleBaud
  cfsetospeed(&tio, B50);
  tcsetattr(master, TCSANOW, &tio);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  slaveName_ = name;
  close(slave);
  master_ = master;
  WatchSlave();
  return true;
}

void PtyPort::Close() {
  if (master_ >= 0) close(master_);
  if (notify_ >= 0) close(notify_);
  master_ = -1;
  notify_ = -1;
}

void PtyPort::WatchSlave() {
  notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notify_ >= 0 && inotify_add_watch(notify_, slaveName_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
    close(notify_);
    notify_ = -1;
  }
  ownCloses_ = 0;
  openSeen_ = false;
  slaveInUse_ = false;
  closedSinceAsked_ = false;
}

PtyPort::Readiness PtyPort::Wait(std::chrono::milliseconds timeout) {
  // The close events wake the caller too, so that replies left unread are discarded
  // before the program can open the port again and read them.
  pollfd p[2] = {{master_, POLLIN, 0}, {notify_, POLLIN, 0}};
  Readiness ready;
  if (poll(p, notify_ >= 0 ? 2 : 1, static_cast<int>(timeout.count())) > 0) {
    ready = {(p[0].revents & POLLIN) != 0, (p[0].revents & (POLLHUP | POLLERR)) != 0};
  }
  if (!ready.hungUp) {
    slaveInUse_ = true;
  } else if (slaveInUse_) {
    slaveInUse_ = false;
    closedSinceAsked_ = true;
  }
  return ready;
}

bool PtyPort::Read(std::vector<std::uint8_t>& out, std::size_t most) {
  out.resize(std::min(most, kReadChunkBytes));
  const ssize_t n = read(master_, out.data(), out.size());
  // EIO is how the master reports a slave that nobody holds once its bytes are read.
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return n > 0;
}

void PtyPort::Write(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

int PtyPort::LineBaud() const {
  termios tio{};
  if (tcgetattr(master_, &tio) != 0) return 0;
  const speed_t out = cfgetospeed(&tio);
  return BaudOfSpeed(out != B0 ? out : cfgetispeed(&tio));
}

void PtyPort::WaitForOpen(std::chrono::milliseconds timeout) {
  if (notify_ < 0) {
    std::this_thread::sleep_for(std::min(timeout, kOpenNap));
    return;
  }
  // An open that SlaveClosedSinceLastAsked() already took off the queue counts too.
  if (std::exchange(openSeen_, false)) return;
  pollfd p{notify_, POLLIN, 0};
  poll(&p, 1, static_cast<int>(timeout.count()));
}

bool PtyPort::SlaveClosedSinceLastAsked() {
  if (notify_ < 0) return std::exchange(closedSinceAsked_, false);
  int closes = TakeEvents();
  const int own = std::min(closes, ownCloses_);
  ownCloses_ -= own;
  closes -= own;
  return closes > 0;
}

int PtyPort::TakeEvents() {
  int closes = 0;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t n = read(notify_, buffer, sizeof buffer);
    if (n <= 0) return closes;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      // An overflowed queue lost events: assume the worst, a close.
      if (event->mask & (IN_CLOSE | IN_Q_OVERFLOW)) ++closes;
      if (event->mask & (IN_OPEN | IN_Q_OVERFLOW)) openSeen_ = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

void PtyPort::DiscardUnreadReplies() {
  // Flushing from the master side reaches only the kernel's transit buffer, not what the
  // slave's line discipline already holds, so the slave is opened for a moment. When that
  // fails, a program has just taken the port exclusively and is listening again.
  const int fd = open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  tcflush(fd, TCIFLUSH);
  close(fd);
  ++ownCloses_;
}

}  // namespace zelka::sim
