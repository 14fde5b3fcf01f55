#include "remote/address_filter.h"

namespace zelka::remote {

std::optional<AddressFilter> AddressFilter::Parse(const std::vector<std::string>& entries,
                                                  std::string& error) {
  AddressFilter filter;
  for (const std::string& entry : entries) {
    const auto subnet = ParseSubnet(entry);
    if (!subnet) {
      error = "not an address or ADDRESS/PREFIX: \"" + entry + "\"; the address is " + kAddressForms;
      return std::nullopt;
    }
    filter.subnets_.push_back(*subnet);
  }
  return filter;
}

bool AddressFilter::Allows(const QHostAddress& address) const {
  if (subnets_.empty()) return true;
  for (const Subnet& subnet : subnets_) {
    if (subnet.Contains(address)) return true;
  }
  return false;
}

}  // namespace zelka::remote
