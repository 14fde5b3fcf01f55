#include "remote/socket_io.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zelka::remote {

bool PrepareSocket(SocketDescriptor descriptor) {
  const int fd = static_cast<int>(descriptor);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  return true;
}

IoResult ReadSome(SocketDescriptor descriptor, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::recv(static_cast<int>(descriptor), buffer, size, 0);
    if (n > 0) return {.bytes = static_cast<std::size_t>(n)};
    if (n == 0) return {.ended = true};
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return {.wouldBlock = true};
    return {.failed = true};
  }
}

IoResult WriteSome(SocketDescriptor descriptor, const char* data, std::size_t size) {
  for (;;) {
    // MSG_NOSIGNAL: a client that has gone must not end the program with SIGPIPE.
    const ssize_t n = ::send(static_cast<int>(descriptor), data, size, MSG_NOSIGNAL);
    if (n >= 0) return {.bytes = static_cast<std::size_t>(n)};
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return {.wouldBlock = true};
    return {.failed = true};
  }
}

void CloseSocket(SocketDescriptor descriptor) { ::close(static_cast<int>(descriptor)); }

bool PeerGone(SocketDescriptor descriptor) {
  pollfd state{static_cast<int>(descriptor), POLLOUT, 0};
  if (::poll(&state, 1, 0) < 0) return false;
  return (state.revents & (POLLERR | POLLHUP)) != 0;
}

QHostAddress PeerAddress(SocketDescriptor descriptor) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  if (::getpeername(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    return {};
  }
  return ClientAddress(reinterpret_cast<const sockaddr*>(&storage));
}

}  // namespace zelka::remote
