// One listening socket of the service. Accepted connections are handed on as bare socket
// descriptors, so that each is opened on the thread that will serve it.
//
// Thread-safety: a QObject of the listening thread; its hand-off runs on that thread.
#pragma once

#include <QTcpServer>

#include <chrono>
#include <functional>

namespace zelka::remote {

// Clients that connect at the same moment wait in the system's queue instead of being
// refused (Qt's default queue holds 50).
inline constexpr int kListenBacklog = 1024;
// After a failed accept (out of descriptors, a client that reset before it was taken),
// accepting starts again after this pause instead of staying stopped for good.
inline constexpr std::chrono::milliseconds kAcceptRetryDelay{100};

class TcpListener final : public QTcpServer {
  Q_OBJECT

 public:
  using Handoff = std::function<void(qintptr descriptor)>;
  explicit TcpListener(Handoff handoff);

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  void ResumeAfterFailedAccept();

  Handoff handoff_;
};

}  // namespace zelka::remote
