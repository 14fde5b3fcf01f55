// ports: the system's serial ports, what they are, and whether this user may open them.
#include <QJsonArray>

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

}  // namespace

int RunPorts(Context& context) {
  QJsonArray list;
  std::string text;
  for (const link::PortInfo& info : link::SystemPorts()) {
    link::SerialLink link;
    const char* access = AccessWords(link, info.name);
    const QString description = QString::fromStdString(info.description);
    const QString serial = QString::fromStdString(info.serialNumber);
    QJsonObject port;
    port.insert(QStringLiteral("name"), QString::fromStdString(info.name));
    port.insert(QStringLiteral("description"), description);
    port.insert(QStringLiteral("vid"), info.vendorId ? QJsonValue(Hex4(*info.vendorId)) : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("pid"), info.productId ? QJsonValue(Hex4(*info.productId)) : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("serial"), serial.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(serial));
    port.insert(QStringLiteral("access"), QString::fromLatin1(access));
    list.append(port);

    text += info.name + "  " + access;
    if (!info.description.empty()) text += "  " + info.description;
    if (info.vendorId && info.productId) {
      text += "  [" + Hex4(*info.vendorId).toStdString() + ":" + Hex4(*info.productId).toStdString() + "]";
    }
    if (!info.serialNumber.empty()) text += "  serial " + info.serialNumber;
    text += "\n";
  }
  if (list.isEmpty()) text = "No serial ports found.\n";
  context.output.Result(text, list);
  return 0;
}

}  // namespace zelka::cli
