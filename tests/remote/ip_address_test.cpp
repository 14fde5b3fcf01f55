// One reading of an address for --listen, --allow and ADDRESS/PREFIX: the plain forms
// only, and the subnets they make, IPv4 clients included in IPv6 ones.
#include "remote/ip_address.h"

#include <gtest/gtest.h>

#include "remote/address_filter.h"

namespace zelka::remote {
namespace {

TEST(IpAddressTest, PlainFormsAreReadAsTheyAreWritten) {
  const struct {
    const char* text;
    const char* address;  // as Qt prints it
  } cases[] = {
      {"127.0.0.1", "127.0.0.1"},
      {"0.0.0.0", "0.0.0.0"},
      {"255.255.255.255", "255.255.255.255"},
      {"192.168.100.20", "192.168.100.20"},
      {"::1", "::1"},
      {"::", "::"},
      {"fd00::7", "fd00::7"},
      {"FD00:0:0:0:0:0:0:7", "fd00::7"},
      {"2001:db8::1:0:0:1", "2001:db8::1:0:0:1"},
      {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
      {"64:ff9b::10.0.0.1", "64:ff9b::a00:1"},
      {"fe80::1%lo", "fe80::1%lo"},
      // An IPv4 address written as IPv6 is that IPv4 address, to bind and to admit.
      {"::ffff:127.0.0.1", "127.0.0.1"},
      {"::ffff:7f00:1", "127.0.0.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto address = ParseIpAddress(c.text);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->toString().toStdString(), c.address);
  }
}

TEST(IpAddressTest, OtherFormsAreRefused) {
  for (const char* bad : {
           "127.000.000.010", "010.010.010.010", "01.2.3.4", "1.2.3", "1.2.3.4.5", "1.2.3.256",
           "127.1", "0x7f.0.0.1", "2130706433", "1.2.3.4 ", " 1.2.3.4", "1..2.3", "1.2.3.",
           "+1.2.3.4", "", "localhost", ":::", "1:::2", "1::2::3", "12345::", "g::1", ":1::",
           "1::2:", "1:2:3:4:5:6:7:8:9", "1:2:3:4:5:6:7", "::ffff:127.000.000.010",
           "::1.2.3.4:5", "fe80::1%", "fe80::1%a b", "[::1]", "1.2.3.4%lo", "::ffff:1.2.3"}) {
    EXPECT_FALSE(ParseIpAddress(bad)) << '"' << bad << '"';
  }
}

TEST(IpAddressTest, SubnetsTakeADecimalPrefixWithinTheirFamily) {
  for (const char* bad : {"/8", "127.0.0.1/ 8", "127.0.0.1 /8", "127.0.0.1/", "127.0.0.1/08",
                          "127.0.0.1/33", "127.0.0.1/-1", "127.0.0.1/+8", "::1/129", "::/0x10",
                          "127.000.000.010/32", "10.0.0.0/8/8"}) {
    EXPECT_FALSE(ParseSubnet(bad)) << '"' << bad << '"';
  }
  const struct {
    const char* subnet;
    const char* client;
    bool inside;
  } cases[] = {
      {"127.0.0.10", "127.0.0.10", true},
      {"127.0.0.10", "127.0.0.8", false},
      {"127.0.0.10/32", "127.0.0.10", true},
      {"10.0.0.0/8", "10.255.1.2", true},
      {"10.0.0.0/8", "11.0.0.1", false},
      {"192.168.1.5/24", "192.168.1.200", true},
      {"192.168.1.0/23", "192.168.0.9", true},
      {"192.168.1.0/23", "192.168.2.9", false},
      {"0.0.0.0/0", "8.8.8.8", true},
      {"0.0.0.0/0", "::1", false},
      {"::/0", "8.8.8.8", true},
      {"::/0", "::1", true},
      {"::ffff:127.0.0.1", "127.0.0.1", true},
      {"::ffff:127.0.0.1", "127.0.0.2", false},
      {"::ffff:10.0.0.0/104", "10.9.9.9", true},
      {"::ffff:0:0/96", "1.2.3.4", true},
      {"::ffff:0:0/96", "::2", false},
      {"fd00::/8", "fd12::1", true},
      {"fd00::/8", "fe80::1", false},
      {"::1", "127.0.0.1", false},
      {"127.0.0.1", "::1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.subnet) + " holds " + c.client);
    const auto subnet = ParseSubnet(c.subnet);
    ASSERT_TRUE(subnet);
    EXPECT_EQ(subnet->Contains(QHostAddress(QString::fromLatin1(c.client))), c.inside);
  }
}

TEST(IpAddressTest, TheFilterAndListenSayWhichFormsTheyTake) {
  std::string error;
  EXPECT_FALSE(AddressFilter::Parse({"10.0.0.0/8", "127.000.000.010"}, error));
  EXPECT_NE(error.find("\"127.000.000.010\""), std::string::npos) << error;
  EXPECT_NE(error.find("without leading zeros"), std::string::npos) << error;
  const std::string listen = ListenAddressError({"::1", "1.2.3"});
  EXPECT_NE(listen.find("--listen takes an IP address"), std::string::npos) << listen;
  EXPECT_NE(listen.find("\"1.2.3\""), std::string::npos) << listen;
  EXPECT_EQ(ListenAddressError({"127.0.0.1", "::1", "fe80::1%lo"}), "");
  const auto filter = AddressFilter::Parse({}, error);
  ASSERT_TRUE(filter);
  EXPECT_TRUE(filter->Allows(QHostAddress(QStringLiteral("8.8.8.8"))));
}

}  // namespace
}  // namespace zelka::remote
