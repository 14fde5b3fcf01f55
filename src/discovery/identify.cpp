#include "discovery/identify.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/codepage.h"
#include "commands/text_line.h"

namespace zelka::discovery {

namespace {

using commands::Firmware;
using TextQuery = std::optional<std::string> (*)(link::SerialLink&);

constexpr std::chrono::milliseconds kReadTimeout{300};
constexpr commands::Byte kStateBit = 0x01;  // only bit 0 of a state byte carries meaning

std::optional<std::string> Decoded(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return commands::DecodeCp1251(*text);
}

std::optional<bool> BitSet(std::optional<commands::Byte> reply) {
  if (!reply) return std::nullopt;
  return (*reply & kStateBit) != 0;
}

class Identification {
 public:
  Identification(printer::Session& session, const StepListener& listener, Identity identity)
      : session_(session), link_(session.Link()), listener_(listener) {
    outcome_.identity = std::move(identity);
  }

  IdentifyOutcome Run(Step from) {
    session_.Open(kReadTimeout);
    Identity& id = outcome_.identity;
    for (Step step : kOrder) {
      if (Before(step, from)) continue;
      // The program is ending: the rest would keep it waiting for the printer.
      if (session_.Cancelled()) {
        outcome_.abandoned = true;
        break;
      }
      Read(step, id);
      const Next next = listener_ ? listener_(step, id) : Next::kGoOn;
      if (next != Next::kGoOn) {
        outcome_.stoppedAfter = step;
        outcome_.abandoned = next == Next::kAbandon;
        break;
      }
    }
    link_.Close();
    return std::move(outcome_);
  }

 private:
  static constexpr Step kOrder[] = {
      Step::kModel,          Step::kModelSettings,      Step::kSerialNumber,
      Step::kBootFirmwareNumber, Step::kBootFirmwareVersion, Step::kMainFirmwareNumber,
      Step::kMainFirmwareVersion, Step::kPaper,         Step::kDrawer,
      Step::kLogo,           Step::kPaperWidth,         Step::kBuildDate};

  // True when `step` runs before `from` in kOrder.
  static bool Before(Step step, Step from) {
    for (Step s : kOrder) {
      if (s == from) return false;
      if (s == step) return true;
    }
    return false;
  }

  void Read(Step step, Identity& id) {
    switch (step) {
      case Step::kModel: {
        const auto raw = commands::QueryModelName(link_);
        id.model = Decoded(raw);
        id.referenceModel = raw && commands::ModelOfName(*raw) == commands::PrinterModel::kReference;
        break;
      }
      case Step::kModelSettings:
        if (!id.model) break;
        if (id.referenceModel) {
          if (auto cut = commands::ReadPrinterParameter(link_, commands::kParamCutLine)) {
            id.cutLine = int{*cut} - kCutLineBase;
          }
          if (auto density = commands::ReadPrinterParameter(link_, commands::kParamDensity)) {
            id.density = int{*density};
          }
          session_.model = commands::PrinterModel::kReference;
        } else {
          session_.model = commands::PrinterModel::kOther;
        }
        break;
      case Step::kSerialNumber: id.serialNumber = Decoded(commands::QuerySerialNumber(link_)); break;
      case Step::kBootFirmwareNumber:
        id.bootFirmwareNumber = Decoded(commands::QueryFirmwareNumber(link_, Firmware::kBoot));
        break;
      case Step::kBootFirmwareVersion: {
        const auto raw = commands::QueryFirmwareVersion(link_, Firmware::kBoot);
        id.bootFirmwareVersion = Decoded(raw);
        id.bootFirmwareOutdated = raw && IsOutdatedBootVersion(*raw);
        break;
      }
      case Step::kMainFirmwareNumber:
        id.mainFirmwareNumber = Decoded(commands::QueryFirmwareNumber(link_, Firmware::kMain));
        break;
      case Step::kMainFirmwareVersion:
        id.mainFirmwareVersion = Decoded(commands::QueryFirmwareVersion(link_, Firmware::kMain));
        break;
      case Step::kPaper: {
        // Bit 0 set: no paper.
        const auto noPaper = BitSet(commands::QueryPaperSensor(link_));
        if (noPaper) id.paperPresent = !*noPaper;
        break;
      }
      case Step::kDrawer:
        id.drawerClosed = BitSet(commands::QueryStatusByte(link_, commands::kStatusDrawer));
        break;
      case Step::kLogo:
        id.logoStored = BitSet(commands::QueryInfoByte(link_, commands::kInfoLogoState));
        break;
      case Step::kPaperWidth:
        id.paperWidth = service::ReadPaperWidth(link_);
        // The window shows 80 mm before the identification; a printer on 57 mm paper
        // gets its width written and read back, as a click on "57 мм" does.
        if (id.paperWidth == service::PaperWidth::k57mm) {
          id.paperWidthAfterSwitch = service::SwitchPaperWidth(session_, service::PaperWidth::k57mm);
        }
        break;
      case Step::kBuildDate: id.buildDate = Decoded(commands::QueryBuildDate(link_)); break;
    }
  }

  printer::Session& session_;
  link::SerialLink& link_;
  const StepListener& listener_;
  IdentifyOutcome outcome_;
};

}  // namespace

IdentifyOutcome IdentifyPrinter(printer::Session& session, const StepListener& listener, Step from,
                                Identity identity) {
  return Identification(session, listener, std::move(identity)).Run(from);
}

}  // namespace zelka::discovery
