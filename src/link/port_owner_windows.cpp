#include "link/port_owner.h"

namespace zelka::link {

// Access to a COM port is not a matter of group membership on Windows.
std::string PortOwnerGroup(const std::string&) { return {}; }

}  // namespace zelka::link

namespace zelka::link {

bool UserMayOpen(const std::string&) { return true; }

}  // namespace zelka::link
