// Who may connect: a list of addresses and subnets (ADDRESS or ADDRESS/PREFIX); an empty
// list lets everybody in.
#pragma once

#include <QHostAddress>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelka::remote {

class AddressFilter {
 public:
  // Parses "192.168.1.0/24", "10.0.0.7", "::1", "fd00::/8". Nothing (and `error` set) for
  // anything else.
  static std::optional<AddressFilter> Parse(const std::vector<std::string>& entries,
                                            std::string& error);

  bool Allows(const QHostAddress& address) const;
  bool AllowsEveryone() const { return subnets_.empty(); }

 private:
  std::vector<std::pair<QHostAddress, int>> subnets_;
};

}  // namespace zelka::remote
