#include "app/demo_printer.h"

#include "sim/simulator.h"

namespace zelka::app {

namespace {

class SimulatedPrinter final : public DemoPrinter {
 public:
  sim::Simulator simulator{sim::DefaultPrinter()};
  std::string PortName() const override { return simulator.PortName(); }
};

}  // namespace

std::unique_ptr<DemoPrinter> StartDemoPrinter(std::string& error) {
  auto printer = std::make_unique<SimulatedPrinter>();
  if (!printer->simulator.Start(&error)) return nullptr;
  return printer;
}

}  // namespace zelka::app
