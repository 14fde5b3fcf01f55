// ports: the system's serial ports, what they are, and whether this user may open them.
#include <QJsonArray>

#include <algorithm>
#include <chrono>

#include "cli/commands.h"
#include "link/port_list.h"

namespace zelka::cli {

namespace {

const char* AccessWords(link::SerialLink& link, const std::string& name) {
  // Opened and closed again: nothing is sent.
  const link::Status status = link.Open(name, link::kDefaultBaud, std::chrono::milliseconds{0});
  if (status == link::Status::kOk) {
    link.Close();
    return "ok";
  }
  if (status != link::Status::kCannotOpen) return "error";
  switch (link.LastOpenFailure()) {
    case link::OpenFailure::kPermissionDenied: return "permission denied";
    case link::OpenFailure::kBusy: return "busy";
    case link::OpenFailure::kAbsent: return "absent";
    case link::OpenFailure::kNotSerial: return "not a serial port";
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  return "error";
}

QString Hex4(quint16 value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')); }

// The ports to show: the system's, or with --port the named ones (those the system does
// not list, such as a pseudo-terminal, with what their name tells).
std::vector<link::PortInfo> PortsToShow(const GlobalOptions& global) {
  std::vector<link::PortInfo> system = link::SystemPorts();
  if (global.portOrigin.kind != Origin::Kind::kCommandLine) return system;
  std::vector<link::PortInfo> shown;
  for (const std::string& name : global.ports) {
    const auto known = std::find_if(system.begin(), system.end(),
                                    [&name](const link::PortInfo& port) { return link::NamesPort(name, port); });
    link::PortInfo port = known != system.end() ? *known : link::PortInfo{name, name};
    const bool again = std::any_of(shown.begin(), shown.end(),
                                   [&port](const link::PortInfo& s) { return s.path == port.path; });
    if (!again) shown.push_back(std::move(port));
  }
  return shown;
}

QJsonValue TextOrNull(const std::string& text) {
  return text.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromStdString(text));
}

}  // namespace

int RunPorts(Context& context) {
  QJsonArray list;
  std::string text;
  for (const link::PortInfo& info : PortsToShow(context.invocation.global)) {
    link::SerialLink link;
    // The path opens the device also where the bare name would not (outside /dev).
    const std::string& path = info.path.empty() ? info.name : info.path;
    const char* access = AccessWords(link, path);
    QJsonArray stableNames;
    for (const std::string& name : info.stableNames) stableNames.append(QString::fromStdString(name));
    QJsonObject port;
    port.insert(QStringLiteral("name"), QString::fromStdString(info.name));
    port.insert(QStringLiteral("path"), QString::fromStdString(path));
    port.insert(QStringLiteral("description"), QString::fromStdString(info.description));
    port.insert(QStringLiteral("vid"), info.vendorId ? QJsonValue(Hex4(*info.vendorId)) : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("pid"), info.productId ? QJsonValue(Hex4(*info.productId)) : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("serial"), TextOrNull(info.serialNumber));
    port.insert(QStringLiteral("stable_names"), stableNames);
    port.insert(QStringLiteral("access"), QString::fromLatin1(access));
    list.append(port);

    text += path + "  " + access;
    if (!info.description.empty()) text += "  " + info.description;
    if (info.vendorId && info.productId) {
      text += "  [" + Hex4(*info.vendorId).toStdString() + ":" + Hex4(*info.productId).toStdString() + "]";
    }
    if (!info.serialNumber.empty()) text += "  serial " + info.serialNumber;
    text += "\n";
    for (const std::string& name : info.stableNames) text += "    " + name + "\n";
  }
  if (list.isEmpty()) text = "No serial ports found.\n";
  context.output.Result(text, list);
  return 0;
}

}  // namespace zelka::cli
