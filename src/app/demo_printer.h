// The demo printer: a simulated Zelka printer that the utility starts itself, so that a
// person without a printer sees it work.
#pragma once

#include <memory>
#include <string>

namespace zelka::app {

class DemoPrinter {
 public:
  virtual ~DemoPrinter() = default;
  virtual std::string PortName() const = 0;
};

// Starts one; nothing (with a reason in `error`) where the platform has no pseudo-terminals.
std::unique_ptr<DemoPrinter> StartDemoPrinter(std::string& error);

}  // namespace zelka::app
