#include "remote/remote_query_server.h"

#include "remote/listener_thread.h"

namespace zelka::remote {

RemoteQueryServer::RemoteQueryServer(const Host& host, Options options)
    : options_(std::move(options)), host_(host), connections_(host_) {}

RemoteQueryServer::~RemoteQueryServer() { Stop(); }

bool RemoteQueryServer::Start() {
  if (started_) return Listening();
  started_ = true;
  listener_ = std::make_unique<ListenerThread>(
      options_.addresses, options_.port,
      [this](qintptr descriptor) { connections_.Launch(descriptor); },
      [this] { connections_.JoinFinished(); });
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
  // Accepting ends first, so that no connection starts behind StopAll's back.
  if (listener_) {
    listener_->Stop();
    listener_.reset();
    port_ = 0;
  }
  connections_.StopAll();
}

}  // namespace zelka::remote
