#include "link/port_list.h"

#include <QSerialPortInfo>

namespace zelka::link {

std::vector<std::string> SystemPortNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    names.push_back(info.portName().toStdString());
  }
  return names;
}

}  // namespace zelka::link
