// The ports the window lists in ComboBox1 (the demo printer's first, then the ports of
// --port or the system's), and what the system knows of each for its tooltip.
//
// Thread-safety: the window's thread only (FormCreate reads it there).
#pragma once

#include <string>
#include <vector>

#include "form/main_form.h"
#include "link/port_list.h"

namespace zelka::app {

class WindowPorts {
 public:
  // `demoPort`: "" for none; `named`: the --port names, empty for the system's list.
  WindowPorts(std::string demoPort, std::vector<std::string> named);

  // The names to list, read anew; also takes a fresh look at the system's ports.
  std::vector<std::string> Read();
  // What the system told of `port` at the last Read; nothing for a port it does not list.
  form::PortDetails Details(const std::string& port) const;

 private:
  std::string demoPort_;
  std::vector<std::string> named_;
  std::vector<link::PortInfo> system_;
};

}  // namespace zelka::app
