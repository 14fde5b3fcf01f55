#include "firmware/main_firmware.h"

#include "commands/catalogue.h"
#include "commands/codepage.h"

namespace zelka::firmware {

namespace {

using commands::Firmware;

std::optional<std::string> Decoded(std::optional<std::string> text) {
  if (!text) return std::nullopt;
  return commands::DecodeCp1251(*text);
}

}  // namespace

MainFirmware ReadMainFirmware(printer::Session& session) {
  MainFirmware firmware;
  session.Open(kRestartQueryReadTimeout);
  firmware.number = Decoded(commands::QueryFirmwareNumber(session.Link(), Firmware::kMain));
  firmware.version = Decoded(commands::QueryFirmwareVersion(session.Link(), Firmware::kMain));
  session.Link().Close();
  return firmware;
}

std::optional<MainFirmware> AwaitMainFirmware(printer::Session& session, std::span<const int> rates) {
  std::chrono::milliseconds spent{0};
  while (spent < kRestartTimeout && !rates.empty()) {
    for (const int baud : rates) {
      session.OpenAt(session.Port(), baud, kRestartQueryReadTimeout);
      const auto number = commands::QueryFirmwareNumber(session.Link(), Firmware::kMain);
      session.Link().Close();
      spent += kRestartQueryReadTimeout;
      if (!number) continue;
      session.SetBaud(baud);
      return ReadMainFirmware(session);
    }
    session.Sleep(kRestartPause);
    spent += kRestartPause;
  }
  return std::nullopt;
}

}  // namespace zelka::firmware
