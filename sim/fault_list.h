// The faults that a test has asked for, and which reply each command gets under them.
// Not thread-safe: the Simulator holds its lock around every call.
#pragma once

#include <chrono>
#include <vector>

#include "sim/simulator.h"

namespace zelka::sim {

// What goes back on the line for one command.
struct ReplyPlan {
  Bytes bytes;                          // empty: nothing is sent
  std::chrono::milliseconds delay{0};  // from the moment the command was read
  bool held = false;                    // kept back until the test releases it
};

class FaultList {
 public:
  void Add(Fault fault);
  void Clear() { faults_.clear(); }

  // The reply to a command whose bytes are `command` and which the printer would answer
  // with `ownReply` (empty if it answers nothing). The first fault added whose prefix
  // matches decides, and is used up by this command.
  ReplyPlan Resolve(const Bytes& command, const Bytes& ownReply);

 private:
  std::vector<Fault> faults_;
};

}  // namespace zelka::sim
