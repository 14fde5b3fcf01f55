#include <QSerialPortInfo>

#include "link/port_list.h"

namespace zelka::link {

// Draft: the registry's SERIALCOMM key is the list the window has always shown.
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
    ports.push_back(std::move(port));
  }
  return ports;
}

}  // namespace zelka::link
