#include "remote/socket_io.h"

namespace zelka::remote {

QHostAddress ClientAddress(const struct sockaddr* address) {
  const QHostAddress client(address);
  bool mapped = false;
  const quint32 v4 = client.toIPv4Address(&mapped);
  if (mapped && client.protocol() == QAbstractSocket::IPv6Protocol) return QHostAddress(v4);
  return client;
}

}  // namespace zelka::remote
