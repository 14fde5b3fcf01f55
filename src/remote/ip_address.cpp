#include "remote/ip_address.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace zelka::remote {

namespace {

using Bytes16 = std::array<std::uint8_t, 16>;

// IPv4 in IPv6: ::ffff:a.b.c.d.
constexpr std::size_t kMappedPrefixBits = 96;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number without sign, blanks or leading zeros, at most `most`.
std::optional<int> Decimal(std::string_view text, int most) {
  if (text.empty() || text.size() > 3 || (text.size() > 1 && text.front() == '0')) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

// Four numbers 0..255 separated by dots, appended to `out`.
bool ParseIpv4(std::string_view text, std::vector<std::uint8_t>& out) {
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = text.find('.');
    const bool last = part == 3;
    if (last != (dot == std::string_view::npos)) return false;
    const auto value = Decimal(text.substr(0, dot), 255);
    if (!value) return false;
    out.push_back(static_cast<std::uint8_t>(*value));
    if (!last) text.remove_prefix(dot + 1);
  }
  return true;
}

// Groups of one to four hex digits separated by colons ("" is none), appended to `out`;
// the last may be an IPv4 address when `ipv4Last`.
bool ParseGroups(std::string_view text, bool ipv4Last, std::vector<std::uint8_t>& out) {
  while (!text.empty()) {
    const std::size_t colon = text.find(':');
    const std::string_view group = text.substr(0, colon);
    if (colon == std::string_view::npos && ipv4Last && group.find('.') != std::string_view::npos) {
      return ParseIpv4(group, out);
    }
    if (group.empty() || group.size() > 4) return false;
    int value = 0;
    for (char c : group) {
      const int digit = HexValue(c);
      if (digit < 0) return false;
      value = value * 16 + digit;
    }
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
    if (text.empty()) return false;  // a colon at the end
  }
  return true;
}

std::optional<Bytes16> ParseIpv6(std::string_view text) {
  const std::size_t gap = text.find("::");
  std::vector<std::uint8_t> head;
  std::vector<std::uint8_t> tail;
  if (gap == std::string_view::npos) {
    if (!ParseGroups(text, true, head) || head.size() != 16) return std::nullopt;
  } else {
    if (text.find("::", gap + 1) != std::string_view::npos) return std::nullopt;
    if (!ParseGroups(text.substr(0, gap), false, head) ||
        !ParseGroups(text.substr(gap + 2), true, tail) || head.size() + tail.size() > 14) {
      return std::nullopt;
    }
  }
  Bytes16 bytes{};
  std::copy(head.begin(), head.end(), bytes.begin());
  std::copy(tail.begin(), tail.end(), bytes.end() - static_cast<std::ptrdiff_t>(tail.size()));
  return bytes;
}

bool IsZoneName(std::string_view zone) {
  return !zone.empty() && std::all_of(zone.begin(), zone.end(), [](char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '_' ||
           c == '-';
  });
}

bool IsMapped(const Bytes16& bytes) {
  return std::all_of(bytes.begin(), bytes.begin() + 10, [](std::uint8_t b) { return b == 0; }) &&
         bytes[10] == 0xFF && bytes[11] == 0xFF;
}

QHostAddress Ipv4Address(const std::uint8_t* four) {
  return QHostAddress((quint32{four[0]} << 24) | (quint32{four[1]} << 16) | (quint32{four[2]} << 8) |
                      quint32{four[3]});
}

// Any address as 16 bytes, IPv4 ones as ::ffff:a.b.c.d.
std::optional<Bytes16> AsIpv6(const QHostAddress& address) {
  Bytes16 bytes{};
  bool isIpv4 = false;
  const quint32 v4 = address.toIPv4Address(&isIpv4);
  if (isIpv4) {
    bytes[10] = bytes[11] = 0xFF;
    for (int i = 0; i < 4; ++i) bytes[12 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v4 >> (24 - 8 * i));
    return bytes;
  }
  if (address.protocol() != QAbstractSocket::IPv6Protocol) return std::nullopt;
  const Q_IPV6ADDR v6 = address.toIPv6Address();
  std::copy(std::begin(v6.c), std::end(v6.c), bytes.begin());
  return bytes;
}

}  // namespace

std::optional<QHostAddress> ParseIpAddress(std::string_view text) {
  if (text.find(':') == std::string_view::npos) {
    std::vector<std::uint8_t> four;
    if (!ParseIpv4(text, four)) return std::nullopt;
    return Ipv4Address(four.data());
  }
  const std::size_t percent = text.find('%');
  const std::string_view zone = percent == std::string_view::npos ? "" : text.substr(percent + 1);
  if (percent != std::string_view::npos && !IsZoneName(zone)) return std::nullopt;
  const auto bytes = ParseIpv6(text.substr(0, percent));
  if (!bytes) return std::nullopt;
  if (IsMapped(*bytes) && zone.empty()) return Ipv4Address(bytes->data() + 12);
  QHostAddress address(bytes->data());
  if (!zone.empty()) address.setScopeId(QString::fromLatin1(zone.data(), static_cast<qsizetype>(zone.size())));
  return address;
}

std::string ListenAddressError(const std::vector<std::string>& addresses) {
  for (const std::string& text : addresses) {
    if (!ParseIpAddress(text)) {
      return "--listen takes an IP address, " + std::string(kAddressForms) + "; not \"" + text + "\"";
    }
  }
  return {};
}

std::optional<Subnet> ParseSubnet(std::string_view text) {
  const std::size_t slash = text.find('/');
  const std::string_view written = text.substr(0, slash);
  const auto address = ParseIpAddress(written);
  if (!address) return std::nullopt;
  // The family as written: "::ffff:10.0.0.0/104" counts its prefix in IPv6 bits.
  const bool ipv6Text = written.find(':') != std::string_view::npos;
  const int most = ipv6Text ? 128 : 32;
  int prefix = most;
  if (slash != std::string_view::npos) {
    const auto given = Decimal(text.substr(slash + 1), most);
    if (!given) return std::nullopt;
    prefix = *given;
  }
  Subnet subnet;
  subnet.bytes = *AsIpv6(*address);
  subnet.prefix = ipv6Text ? prefix : prefix + static_cast<int>(kMappedPrefixBits);
  return subnet;
}

bool Subnet::Contains(const QHostAddress& address) const {
  const auto other = AsIpv6(address);
  if (!other) return false;
  const auto whole = static_cast<std::size_t>(prefix / 8);
  if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole), other->begin())) {
    return false;
  }
  const int rest = prefix % 8;
  if (rest == 0) return true;
  const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
  return (bytes[whole] & mask) == ((*other)[whole] & mask);
}

}  // namespace zelka::remote
