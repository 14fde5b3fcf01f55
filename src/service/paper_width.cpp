#include "service/paper_width.h"

#include <chrono>

#include "commands/catalogue.h"

namespace zelka::service {

namespace {

constexpr std::chrono::milliseconds kReadTimeout{500};
constexpr commands::Byte kWidth80mm = 0;
constexpr commands::Byte kWidth57mm = 1;

}  // namespace

PaperWidth ReadPaperWidth(link::SerialLink& link) {
  const auto reply = commands::ReadPrinterParameter(link, commands::kParamPaperWidth);
  if (!reply) return PaperWidth::kUnknown;
  if (*reply == kWidth80mm) return PaperWidth::k80mm;
  if (*reply == kWidth57mm) return PaperWidth::k57mm;
  return PaperWidth::kOther;
}

std::optional<PaperWidth> SwitchPaperWidth(printer::Session& session, PaperWidth width) {
  if (!session.HasPrinter()) return std::nullopt;
  // Inside the identification the printer's link is open already and stays open.
  const bool openedHere = session.Open(kReadTimeout) == link::Status::kOk;
  link::SerialLink& link = session.Link();
  commands::WritePrinterParameter(link, commands::kParamPaperWidth,
                                  width == PaperWidth::k57mm ? kWidth57mm : kWidth80mm);
  const PaperWidth reported = ReadPaperWidth(link);
  if (openedHere) link.Close();
  return reported;
}

void CheckPaperWidthSwitch(printer::Session& session) {
  session.Open(kReadTimeout);
  link::SerialLink& link = session.Link();
  commands::ReadPrinterParameter(link, commands::kParamPaperWidth);
  commands::WritePrinterParameter(link, commands::kParamPaperWidth, kWidth57mm);
  commands::ReadPrinterParameter(link, commands::kParamPaperWidth);
  link.Close();
}

}  // namespace zelka::service
