#include "remote/tcp_listener.h"

#include <QTimer>

namespace zelka::remote {

TcpListener::TcpListener(Handoff handoff) : handoff_(std::move(handoff)) {
  setListenBacklogSize(kListenBacklog);
  // QTcpServer pauses accepting on any accept error that is not temporary, and running
  // out of descriptors or a client that reset early is one: without this the service
  // would go deaf for the rest of the run.
  connect(this, &QTcpServer::acceptError, this, &TcpListener::ResumeAfterFailedAccept);
}

void TcpListener::incomingConnection(qintptr descriptor) { handoff_(descriptor); }

void TcpListener::ResumeAfterFailedAccept() {
  QTimer::singleShot(kAcceptRetryDelay, this, &QTcpServer::resumeAccepting);
}

}  // namespace zelka::remote
