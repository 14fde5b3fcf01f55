#include "app/demo_printer.h"

namespace zelka::app {

std::unique_ptr<DemoPrinter> StartDemoPrinter(std::string& error) {
  error = "The demo printer needs pseudo-terminals, which this system does not have.";
  return nullptr;
}

}  // namespace zelka::app
