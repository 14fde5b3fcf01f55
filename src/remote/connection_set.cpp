#include "remote/connection_set.h"

#include <QTcpSocket>

#include <algorithm>
#include <system_error>

#include "remote/serve_connection.h"

namespace zelka::remote {

ConnectionSet::ConnectionSet(const Host& host) : host_(host) {}

ConnectionSet::~ConnectionSet() { StopAll(); }

void ConnectionSet::Launch(qintptr descriptor) {
  std::lock_guard lock(mutex_);
  JoinFinishedLocked();
  auto connection = std::make_unique<Connection>();
  Connection* self = connection.get();
  ++live_;
  try {
    connection->thread = std::thread([this, self, descriptor] {
      ServeConnection(descriptor, host_, stop_);
      --live_;
      self->done = true;
    });
  } catch (const std::system_error&) {
    // No thread to be had (the system's limit): the client is closed rather than kept
    // waiting for a greeting that will never come.
    --live_;
    QTcpSocket refused;
    refused.setSocketDescriptor(descriptor);
    return;
  }
  connections_.push_back(std::move(connection));
}

void ConnectionSet::StopAll() {
  stop_ = true;
  std::vector<std::unique_ptr<Connection>> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (auto& connection : connections) {
    if (connection->thread.joinable()) connection->thread.join();
  }
}

void ConnectionSet::JoinFinished() {
  std::lock_guard lock(mutex_);
  JoinFinishedLocked();
}

void ConnectionSet::JoinFinishedLocked() {
  std::erase_if(connections_, [](const std::unique_ptr<Connection>& connection) {
    if (!connection->done) return false;
    connection->thread.join();
    return true;
  });
}

}  // namespace zelka::remote
