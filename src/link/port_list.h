// The system's serial ports, by the names that OpenPort opens.
#pragma once

#include <string>
#include <vector>

namespace zelka::link {

// The serial ports the system lists, in the system's order.
std::vector<std::string> SystemPortNames();

}  // namespace zelka::link
