// The names a port goes by: its stable names (symbolic links such as udev's
// /dev/serial/by-id), any path that leads to it, and usb:SERIAL.
#include "link/port_list.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "sim/simulator.h"

namespace zelka::link {
namespace {

namespace fs = std::filesystem;

class PortNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(dir.isValid());
    byId = dir.filePath(QStringLiteral("by-id")).toStdString();
    byPath = dir.filePath(QStringLiteral("by-path")).toStdString();
    fs::create_directory(byId);
    fs::create_directory(byPath);
  }
  // A link in `directory` to `target`, as udev makes them (relative ones included).
  std::string Link(const std::string& directory, const std::string& name, const fs::path& target) {
    const std::string path = directory + "/" + name;
    fs::create_symlink(target, path);
    return path;
  }

  sim::Simulator first;
  sim::Simulator second;
  QTemporaryDir dir;
  std::string byId;
  std::string byPath;
};

TEST_F(PortNamesTest, StableNamesAreTheLinksThatLeadToTheDevice) {
  const std::string firstById = Link(byId, "usb-FTDI_FT232R_A10K3B7Q-if00-port0", first.PortName());
  const std::string secondById = Link(byId, "usb-Prolific_PL2303-if00-port0", second.PortName());
  // A chain of links and a relative one lead to the same device.
  const std::string chained = Link(byPath, "pci-0000:00:14.0-usb-0:2:1.0-port0", firstById);
  const std::string relative = Link(byPath, "pci-0000:00:14.0-usb-0:1:1.0-port0",
                                    fs::relative(first.PortName(), byPath));
  fs::create_directory(byPath + "/subdir");
  std::ofstream(byPath + "/plain-file") << "not a link";

  EXPECT_EQ(LinksTo(first.PortName(), {byId, byPath, "/nonexistent-directory"}),
            (std::vector<std::string>{firstById, relative, chained}))
      << "by directory, each sorted by name";
  EXPECT_EQ(LinksTo(second.PortName(), {byId, byPath}), std::vector<std::string>{secondById});
  EXPECT_TRUE(LinksTo("/dev/nonexistent-port", {byId, byPath}).empty());

  PortInfo port{"pts-first", first.PortName()};
  port.stableNames = {firstById};
  for (const std::string& name : {std::string("pts-first"), first.PortName(), firstById, chained, relative}) {
    EXPECT_TRUE(NamesPort(name, port)) << name;
  }
  for (const std::string& name : {std::string(), second.PortName(), secondById, std::string("/dev/nonexistent")}) {
    EXPECT_FALSE(NamesPort(name, port)) << name;
  }
}

TEST(UsbSerialChoiceTest, MatchesTheWholeSerialNumberOnly) {
  std::vector<PortInfo> ports(4);
  ports[0].path = "/dev/ttyUSB0";
  ports[0].serialNumber = "A10K3B7Q";
  ports[1].path = "/dev/ttyUSB1";
  ports[1].serialNumber = "A10K3B7";
  ports[2].path = "/dev/ttyS0";  // no USB adapter: no serial number
  ports[3].path = "/dev/ttyUSB2";
  ports[3].serialNumber = "A10K3B7Q";

  EXPECT_TRUE(IsUsbSerialChoice("usb:A10K3B7Q"));
  EXPECT_FALSE(IsUsbSerialChoice("/dev/usb:x"));
  const auto twice = PortsWithUsbSerial("A10K3B7Q", ports);
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[0]->path, "/dev/ttyUSB0");
  EXPECT_EQ(twice[1]->path, "/dev/ttyUSB2");
  ASSERT_EQ(PortsWithUsbSerial("A10K3B7", ports).size(), 1u);
  EXPECT_EQ(PortsWithUsbSerial("A10K3B7", ports)[0]->path, "/dev/ttyUSB1");
  EXPECT_TRUE(PortsWithUsbSerial("a10k3b7q", ports).empty());
  EXPECT_TRUE(PortsWithUsbSerial("", ports).empty()) << "an empty serial names no adapter";
}

}  // namespace
}  // namespace zelka::link
