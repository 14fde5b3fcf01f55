#include "sim/fault_list.h"

#include <algorithm>

namespace zelka::sim {
namespace {

bool StartsWith(const Bytes& bytes, const Bytes& prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

ReplyPlan Distort(const Fault& fault, const Bytes& ownReply) {
  switch (fault.kind) {
    case Fault::Kind::Silent:
      return {};
    case Fault::Kind::Late:
      return {ownReply, fault.delay};
    case Fault::Kind::Partial:
      return {Bytes(ownReply.begin(), ownReply.begin() + static_cast<std::ptrdiff_t>(
                                                             std::min(fault.bytes, ownReply.size()))),
              {}};
    case Fault::Kind::Reply:
      return {fault.reply, {}};
    case Fault::Kind::Held:
      return {ownReply, {}, true};
  }
  return {ownReply, {}};
}

}  // namespace

void FaultList::Add(Fault fault) {
  if (fault.times != 0) faults_.push_back(std::move(fault));
}

ReplyPlan FaultList::Resolve(const Bytes& command, const Bytes& ownReply) {
  const auto it = std::find_if(faults_.begin(), faults_.end(),
                               [&](const Fault& f) { return StartsWith(command, f.prefix); });
  if (it == faults_.end()) return {ownReply, {}};
  if (it->after > 0) {
    --it->after;
    return {ownReply, {}};
  }
  ReplyPlan plan = Distort(*it, ownReply);
  if (it->times > 0 && --it->times == 0) faults_.erase(it);
  return plan;
}

}  // namespace zelka::sim
