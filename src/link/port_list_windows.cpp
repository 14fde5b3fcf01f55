// The port list the window has always shown: the values of the registry's SERIALCOMM key,
// in the registry's order. What the device manager knows of each port (its name, and for
// USB adapters the ids and the serial number) comes from SetupAPI where it has the port.
#include <windows.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <QRegularExpression>
#include <QString>

#include <vector>

#include "link/port_list.h"
#include "link/port_name.h"

namespace zelka::link {

namespace {

std::vector<std::string> RegisteredPorts() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return names;
  }
  DWORD count = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
    std::vector<wchar_t> valueName(longestName + 1);
    std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 1);
    for (DWORD index = 0; index < count; ++index) {
      DWORD nameLength = static_cast<DWORD>(valueName.size());
      DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      DWORD type = 0;
      const LONG status = RegEnumValueW(key, index, valueName.data(), &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data.data()), &dataBytes);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS || type != REG_SZ) continue;
      // The data, not the name: the name is the driver's device, the data the COM name.
      QString port = QString::fromWCharArray(data.data(), static_cast<int>(dataBytes / sizeof(wchar_t)));
      while (port.endsWith(QChar(0))) port.chop(1);
      if (!port.isEmpty()) names.push_back(port.toStdString());
    }
  }
  RegCloseKey(key);
  return names;
}

QString InstanceId(DEVINST device) {
  wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
  if (CM_Get_Device_IDW(device, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
  return QString::fromWCharArray(id);
}

QString RegistryText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
  wchar_t text[512] = {};
  if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                         reinterpret_cast<BYTE*>(text), sizeof text - sizeof(wchar_t),
                                         nullptr)) {
    return {};
  }
  return QString::fromWCharArray(text);
}

QString PortNameOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return {};
  wchar_t name[256] = {};
  DWORD bytes = sizeof name - sizeof(wchar_t);
  DWORD type = 0;
  QString port;
  if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    port = QString::fromWCharArray(name);
  }
  RegCloseKey(key);
  return port;
}

// The USB ids and serial number from the nearest USB device at or above the port's own
// node: "USB\VID_0403&PID_6001\A50285BI". An adapter's port or a composite device's
// interface ("USB\VID_…&PID_…&MI_00\…") sits below it. A last part with '&' in it is one
// the system made up for a device without a serial number.
void AddUsbDetails(DEVINST device, PortInfo& port) {
  static const QRegularExpression usbDevice(
      QStringLiteral("^USB\\\\VID_([0-9A-F]{4})&PID_([0-9A-F]{4})\\\\([^\\\\]*)$"),
      QRegularExpression::CaseInsensitiveOption);
  for (int level = 0; level < 3; ++level) {
    const QRegularExpressionMatch match = usbDevice.match(InstanceId(device));
    if (match.hasMatch()) {
      port.vendorId = static_cast<std::uint16_t>(match.captured(1).toUShort(nullptr, 16));
      port.productId = static_cast<std::uint16_t>(match.captured(2).toUShort(nullptr, 16));
      const QString serial = match.captured(3);
      if (!serial.contains(QLatin1Char('&'))) port.serialNumber = serial.toStdString();
      return;
    }
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, device, 0) != CR_SUCCESS) return;
    device = parent;
  }
}

// Fills in what the device manager knows of each listed port; ports it does not know
// keep the name alone.
void AddDeviceDetails(std::vector<PortInfo>& ports) {
  const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    const QString name = PortNameOf(devices, device);
    if (name.isEmpty()) continue;
    for (PortInfo& port : ports) {
      if (PortKey(port.name) != PortKey(name.toStdString())) continue;
      QString description = RegistryText(devices, device, SPDRP_FRIENDLYNAME);
      if (description.isEmpty()) description = RegistryText(devices, device, SPDRP_DEVICEDESC);
      port.description = description.toStdString();
      AddUsbDetails(device.DevInst, port);
    }
  }
  SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

std::vector<PortInfo> SystemPorts() {
  std::vector<PortInfo> ports;
  for (std::string& name : RegisteredPorts()) {
    PortInfo port;
    // What a Windows user types and reads is the COM name; "\\.\" goes before it only
    // when it is opened.
    port.path = name;
    port.name = std::move(name);
    ports.push_back(std::move(port));
  }
  AddDeviceDetails(ports);
  return ports;
}

}  // namespace zelka::link
