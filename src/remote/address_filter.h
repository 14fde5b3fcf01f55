// Who may connect: a list of addresses and subnets (ADDRESS or ADDRESS/PREFIX, read as
// remote/ip_address.h reads them); an empty list lets everybody in.
#pragma once

#include <QHostAddress>

#include <optional>
#include <string>
#include <vector>

#include "remote/ip_address.h"

namespace zelka::remote {

class AddressFilter {
 public:
  // Parses "192.168.1.0/24", "10.0.0.7", "::1", "fd00::/8". Nothing (and `error` set) for
  // anything else.
  static std::optional<AddressFilter> Parse(const std::vector<std::string>& entries,
                                            std::string& error);

  // IPv4 clients are matched in their IPv6 form too: "::/0" admits them, and
  // "::ffff:127.0.0.1" admits 127.0.0.1.
  bool Allows(const QHostAddress& address) const;
  bool AllowsEveryone() const { return subnets_.empty(); }

 private:
  std::vector<Subnet> subnets_;
};

}  // namespace zelka::remote
