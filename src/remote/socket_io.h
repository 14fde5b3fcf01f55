// Non-blocking I/O on an accepted TCP connection's descriptor.
//
// The connections are served on descriptors rather than QTcpSocket because a client may
// shut down its sending side and still read (scripts do: `nc -N`); QTcpSocket takes the
// end of input for the end of the connection and closes it, so the client would never
// get the answers to what it sent.
#pragma once

#include <QHostAddress>
#include <QtGlobal>

#include <cstddef>

namespace zelka::remote {

using SocketDescriptor = qintptr;

struct IoResult {
  std::size_t bytes = 0;
  bool wouldBlock = false;  // nothing now; try again when the descriptor is ready
  bool ended = false;       // read: the client sent everything it will send
  bool failed = false;      // the connection is broken (reset, or written after it closed)
};

// Makes the descriptor non-blocking and lets the system find a peer that vanished without
// closing (a pulled cable); false when it is no usable socket.
bool PrepareSocket(SocketDescriptor descriptor);
IoResult ReadSome(SocketDescriptor descriptor, char* buffer, std::size_t size);
IoResult WriteSome(SocketDescriptor descriptor, const char* data, std::size_t size);
void CloseSocket(SocketDescriptor descriptor);
// True once the connection is broken or closed by the client in both directions (a
// reset came back); false while it may still take what is written. Does not wait.
bool PeerGone(SocketDescriptor descriptor);
// The client's address; a null address when it cannot be had. An IPv4 client of a
// dual-stack socket comes as its IPv4 address, not the IPv4-mapped IPv6 one.
QHostAddress PeerAddress(SocketDescriptor descriptor);
// The address in `address` as PeerAddress gives it (an IPv4-mapped one as IPv4).
QHostAddress ClientAddress(const struct sockaddr* address);

}  // namespace zelka::remote
