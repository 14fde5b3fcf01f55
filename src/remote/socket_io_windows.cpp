#include "remote/socket_io.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace zelka::remote {

bool PrepareSocket(SocketDescriptor descriptor) {
  u_long nonBlocking = 1;
  if (::ioctlsocket(static_cast<SOCKET>(descriptor), FIONBIO, &nonBlocking) != 0) return false;
  const BOOL on = TRUE;
  ::setsockopt(static_cast<SOCKET>(descriptor), SOL_SOCKET, SO_KEEPALIVE,
               reinterpret_cast<const char*>(&on), sizeof on);
  return true;
}

IoResult ReadSome(SocketDescriptor descriptor, char* buffer, std::size_t size) {
  const int n = ::recv(static_cast<SOCKET>(descriptor), buffer, static_cast<int>(size), 0);
  if (n > 0) return {.bytes = static_cast<std::size_t>(n)};
  if (n == 0) return {.ended = true};
  if (::WSAGetLastError() == WSAEWOULDBLOCK) return {.wouldBlock = true};
  return {.failed = true};
}

IoResult WriteSome(SocketDescriptor descriptor, const char* data, std::size_t size) {
  const int n = ::send(static_cast<SOCKET>(descriptor), data, static_cast<int>(size), 0);
  if (n >= 0) return {.bytes = static_cast<std::size_t>(n)};
  if (::WSAGetLastError() == WSAEWOULDBLOCK) return {.wouldBlock = true};
  return {.failed = true};
}

void CloseSocket(SocketDescriptor descriptor) { ::closesocket(static_cast<SOCKET>(descriptor)); }

// A look at the input without taking it: a reset (or an abort) is reported there, while a
// client that only shut down its sending side reads as the end of input. WSAPoll cannot
// tell the two apart: it reports both as a hang-up.
bool PeerGone(SocketDescriptor descriptor) {
  char byte = 0;
  if (::recv(static_cast<SOCKET>(descriptor), &byte, 1, MSG_PEEK) != SOCKET_ERROR) return false;
  const int error = ::WSAGetLastError();
  return error != WSAEWOULDBLOCK && error != WSAEINTR && error != WSAEINPROGRESS;
}

QHostAddress PeerAddress(SocketDescriptor descriptor) {
  sockaddr_storage storage{};
  int length = sizeof storage;
  if (::getpeername(static_cast<SOCKET>(descriptor), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    return {};
  }
  return ClientAddress(reinterpret_cast<const sockaddr*>(&storage));
}

}  // namespace zelka::remote
