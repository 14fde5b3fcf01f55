#include "remote/address_filter.h"

#include <QString>

namespace zelka::remote {

std::optional<AddressFilter> AddressFilter::Parse(const std::vector<std::string>& entries,
                                                  std::string& error) {
  AddressFilter filter;
  for (const std::string& entry : entries) {
    const QString text = QString::fromStdString(entry);
    std::pair<QHostAddress, int> subnet;
    if (text.contains(u'/')) {
      subnet = QHostAddress::parseSubnet(text);
    } else if (subnet.first.setAddress(text)) {
      subnet.second = subnet.first.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128;
    }
    if (subnet.first.isNull() || subnet.second < 0) {
      error = "not an address or ADDRESS/PREFIX: " + entry;
      return std::nullopt;
    }
    filter.subnets_.push_back(subnet);
  }
  return filter;
}

bool AddressFilter::Allows(const QHostAddress& address) const {
  if (subnets_.empty()) return true;
  if (address.isNull()) return false;
  for (const auto& subnet : subnets_) {
    if (address.isInSubnet(subnet)) return true;
  }
  return false;
}

}  // namespace zelka::remote
