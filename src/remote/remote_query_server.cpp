#include "remote/remote_query_server.h"

#include "remote/listener_thread.h"

namespace zelka::remote {

RemoteQueryServer::RemoteQueryServer(const Host& host, Options options)
    : options_(std::move(options)),
      host_(host),
      hub_(host_, {.maxClients = options_.maxClients, .allow = options_.allow}) {}

RemoteQueryServer::~RemoteQueryServer() { Stop(); }

bool RemoteQueryServer::Start() {
  if (started_) return Listening();
  started_ = true;
  listener_ = std::make_unique<ListenerThread>(
      options_.addresses, options_.port, [this] { return hub_.Open(); },
      [this](qintptr descriptor) { hub_.Accept(descriptor); }, [this] { hub_.CloseAll(); });
  const ListenResult result = listener_->Start();
  if (!result.listening) {
    listener_.reset();
    error_ = result.error;
    return false;
  }
  port_ = result.port;
  return true;
}

void RemoteQueryServer::Stop() {
  if (listener_) {
    listener_->Stop();
    listener_.reset();
    port_ = 0;
  }
}

}  // namespace zelka::remote
