// ports: the system's serial ports, what they are, and whether this user may open them.
#include <QJsonArray>
#include <QSerialPortInfo>

#include <chrono>

#include "cli/commands.h"

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
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const std::string name = info.portName().toStdString();
    link::SerialLink link;
    const char* access = AccessWords(link, name);
    QJsonObject port;
    port.insert(QStringLiteral("name"), info.portName());
    port.insert(QStringLiteral("description"), info.description());
    port.insert(QStringLiteral("vid"), info.hasVendorIdentifier() ? QJsonValue(Hex4(info.vendorIdentifier()))
                                                                  : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("pid"), info.hasProductIdentifier() ? QJsonValue(Hex4(info.productIdentifier()))
                                                                   : QJsonValue(QJsonValue::Null));
    port.insert(QStringLiteral("serial"), info.serialNumber().isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                         : QJsonValue(info.serialNumber()));
    port.insert(QStringLiteral("access"), QString::fromLatin1(access));
    list.append(port);

    text += name + "  " + access;
    if (!info.description().isEmpty()) text += "  " + info.description().toStdString();
    if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
      text += "  [" + Hex4(info.vendorIdentifier()).toStdString() + ":" +
              Hex4(info.productIdentifier()).toStdString() + "]";
    }
    if (!info.serialNumber().isEmpty()) text += "  serial " + info.serialNumber().toStdString();
    text += "\n";
  }
  if (list.isEmpty()) text = "No serial ports found.\n";
  context.output.Result(text, list);
  return 0;
}

}  // namespace zelka::cli
