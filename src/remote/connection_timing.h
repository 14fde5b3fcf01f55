// How often a connection's blocking waits look up from the socket.
#pragma once

#include <chrono>

namespace zelka::remote {

// A blocking socket wait cannot be woken from another thread, so every wait ends this
// often to look at the server's stop flag: it bounds how long shutting down waits for an
// idle connection.
inline constexpr std::chrono::milliseconds kStopPollPeriod{200};

}  // namespace zelka::remote
