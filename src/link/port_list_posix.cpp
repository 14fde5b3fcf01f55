#include <QSerialPortInfo>

#include "link/port_list.h"

namespace zelka::link {

namespace {

// udev's links: by serial number first (they follow the adapter), then by socket.
const std::vector<std::string> kStableNameDirectories = {"/dev/serial/by-id", "/dev/serial/by-path"};

}  // namespace

std::vector<PortInfo> SystemPorts() {
  std::vector<PortInfo> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    PortInfo port;
    port.name = info.portName().toStdString();
    port.path = info.systemLocation().toStdString();
    port.description = info.description().toStdString();
    if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
    port.serialNumber = info.serialNumber().toStdString();
    port.stableNames = LinksTo(port.path, kStableNameDirectories);
    ports.push_back(std::move(port));
  }
  return ports;
}

}  // namespace zelka::link
