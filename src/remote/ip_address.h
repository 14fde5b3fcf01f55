// IP addresses as a user writes them for the remote service: one reading for --listen,
// --allow and ADDRESS/PREFIX alike.
//
// Only the plain forms are taken: IPv4 as four decimal numbers 0..255 without leading
// zeros ("192.168.1.20"), IPv6 in its usual forms ("::1", "fd00::7", "::ffff:10.0.0.1",
// with "%zone" for a link-local address). The short and octal forms that the system's
// own readers still take ("1.2.3" for 1.2.0.3, "010.0.0.1" for 8.0.0.1) mean another host
// to each reader, so that an --allow could admit what the user never named.
#pragma once

#include <QHostAddress>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelka::remote {

// The forms taken, for a message to the user who wrote something else.
inline constexpr char kAddressForms[] =
    "an IPv4 address as four numbers 0-255 without leading zeros (192.168.1.20) or an IPv6 "
    "address (::1)";

// The address `text` names; nothing for anything but the forms above. An IPv4 address
// written as IPv6 (::ffff:a.b.c.d) comes back as the IPv4 address it is.
std::optional<QHostAddress> ParseIpAddress(std::string_view text);

// The message for --listen when one of `addresses` is not an address; "" when all are.
std::string ListenAddressError(const std::vector<std::string>& addresses);

// A block of addresses in one space: IPv4 addresses as IPv6 ones (::ffff:a.b.c.d), so
// that "::/0" holds every client and "::ffff:127.0.0.1" the IPv4 client 127.0.0.1.
struct Subnet {
  std::array<std::uint8_t, 16> bytes{};
  int prefix = 128;  // leading bits that count

  bool Contains(const QHostAddress& address) const;
};

// ADDRESS or ADDRESS/PREFIX (PREFIX 0..32 after IPv4, 0..128 after IPv6, in decimal
// without leading zeros, no blanks); an address alone is the one address.
std::optional<Subnet> ParseSubnet(std::string_view text);

}  // namespace zelka::remote
