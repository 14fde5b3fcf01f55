#include "graphics/logo_store.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "commands/catalogue.h"
#include "graphics/bitmap_file.h"
#include "graphics/bitmap_header.h"

namespace zelka::graphics {

namespace {

constexpr std::chrono::milliseconds kLoadReadTimeout{10'000};
constexpr std::chrono::milliseconds kEraseReadTimeout{7'500};
constexpr commands::Byte kLogoCommand = commands::kEsc;  // ESC, then the bitmap file
constexpr commands::Byte kLogoStoredBit = 0x01;          // bit 0 of the GS I 4 reply

// GS I 4 over the open link, into `reading`.
void AskLogoState(link::SerialLink& link, service::StateReading& reading) {
  const std::optional<commands::Byte> reply =
      commands::QueryInfoByte(link, commands::kInfoLogoState);
  if (!reply) {
    if (reading.result.Ok()) reading.result.problem = printer::Problem::kNoReply;
    return;
  }
  reading.bitSet = (*reply & kLogoStoredBit) != 0;
}

}  // namespace

BitmapError LoadLogo(const std::string& utf8Path, Logo& logo, const ConversionOptions& options) {
  BitmapFile source;
  if (const BitmapError error = source.OpenAny(utf8Path); error != BitmapError::kNone) {
    return error;
  }
  if (source.IsPlainOneBit()) {
    if (const BitmapError error = CheckSizeField(source.Head(), source.Length());
        error != BitmapError::kNone) {
      return error;
    }
  }
  std::vector<std::uint8_t> bytes;
  if (const BitmapError error = source.ReadForPath(kLogoFileLimit, bytes);
      error != BitmapError::kNone) {
    return error;
  }
  return LogoFromBytes(std::move(bytes), options, logo);
}

printer::Result SendLogo(printer::Session& session, const Logo& logo) {
  const std::vector<std::uint8_t>& file = logo.file;
  if (file.empty() || file.size() > kLogoFileLimit ||
      CheckSizeField(file, file.size()) != BitmapError::kNone) {
    printer::Result refused;
    refused.problem = printer::Problem::kNotSent;
    refused.port = session.Port();
    return refused;
  }
  printer::Result result = printer::OpenPrinter(session, kLoadReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  // Built in place: the transmit buffer is the one place a frame this long fits.
  const std::span<std::uint8_t> frame = link.TxBuffer();
  frame[0] = kLogoCommand;
  std::copy(file.begin(), file.end(), frame.begin() + 1);
  if (link.SendTx(file.size() + 1) != link::Status::kOk) {
    result.problem = printer::Problem::kNotSent;
  }
  link.Close();
  return result;
}

service::StateReading ReadLogoState(printer::Session& session) {
  service::StateReading reading{printer::OpenPrinter(session, kLoadReadTimeout), std::nullopt};
  if (!reading.result.Ok()) return reading;
  AskLogoState(session.Link(), reading);
  session.Link().Close();
  return reading;
}

service::StateReading EraseLogo(printer::Session& session) {
  service::StateReading reading{printer::OpenPrinter(session, kEraseReadTimeout), std::nullopt};
  if (!reading.result.Ok()) return reading;
  link::SerialLink& link = session.Link();
  if (link.Send(commands::kEraseLogo) != link::Status::kOk) {
    reading.result.problem = printer::Problem::kNotSent;
  }
  AskLogoState(link, reading);
  link.Close();
  return reading;
}

}  // namespace zelka::graphics
