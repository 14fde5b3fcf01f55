// One accepted client, served on the calling thread with a blocking socket
// (IdTCPServer1Connect, then IdTCPServer1Execute line after line) until the client
// leaves, a read or write fails, the client sends an over-long line or an HTTP request,
// or the server stops.
//
// Thread-safety: runs on the connection's own thread, which owns the socket; `stop` is
// the only thing it shares with the server.
#pragma once

#include "remote/host.h"

#include <QtGlobal>

#include <atomic>

namespace zelka::remote {

// `descriptor` is the accepted socket, which this call owns and closes.
void ServeConnection(qintptr descriptor, const Host& host, const std::atomic<bool>& stop);

}  // namespace zelka::remote
