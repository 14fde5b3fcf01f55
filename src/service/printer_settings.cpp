#include "service/printer_settings.h"

#include <chrono>

#include "commands/catalogue.h"

namespace zelka::service {

using std::chrono::milliseconds;
using zelka::commands::Byte;

namespace {

constexpr milliseconds kSettingReadTimeout{500};
constexpr milliseconds kBaudRateReadTimeout{5000};

printer::Result WriteSetting(printer::Session& session, Byte parameter, int value) {
  printer::Result result = printer::OpenPrinter(session, kSettingReadTimeout);
  if (!result.Ok()) return result;
  result.Sent(
      commands::SendParameterWrite(session.Link(), parameter, static_cast<Byte>(value)));
  session.Link().Close();
  return result;
}

}  // namespace

printer::Result WriteCutLine(printer::Session& session, int position) {
  return WriteSetting(session, commands::kParamCutLine, kCutLineParameterBase + position);
}

printer::Result WriteDensity(printer::Session& session, int density) {
  return WriteSetting(session, commands::kParamDensity, density);
}

printer::Result SelectCodePage866(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kSettingReadTimeout);
  if (!result.Ok()) return result;
  result.Sent(session.Link().Send(commands::kSelectCodePage866));
  session.Link().Close();
  return result;
}

printer::Result SetPrinterBaudRate(printer::Session& session, int baud, bool keepRate) {
  printer::Result result = printer::OpenPrinter(session, kBaudRateReadTimeout);
  if (result.Ok()) {
    result.Sent(commands::SendPrinterBaudRate(session.Link(), baud));
    session.Link().Close();
  }
  // Taken whatever happened: from now on every operation opens at the new rate.
  if (!keepRate) session.SetBaud(baud);
  return result;
}

}  // namespace zelka::service
