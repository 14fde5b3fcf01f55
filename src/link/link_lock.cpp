#include "link/link_lock.h"

#include "link/serial_link.h"

namespace zelka::link {
namespace {

std::recursive_mutex linkMutex;
thread_local int depth = 0;

}  // namespace

PrinterOperation::PrinterOperation() {
  linkMutex.lock();
  ++depth;
}

PrinterOperation::~PrinterOperation() {
  if (--depth == 0 && PortIsOpen) ClosePort();
  linkMutex.unlock();
}

int PrinterOperation::DepthOnThisThread() { return depth; }

}  // namespace zelka::link
