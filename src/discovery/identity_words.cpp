#include "discovery/identity_words.h"

namespace zelka::discovery {

namespace {

std::optional<std::string> Word(const std::optional<bool>& value, const char* yes, const char* no) {
  if (!value) return std::nullopt;
  return std::string(*value ? yes : no);
}

}  // namespace

std::optional<std::string> StepValueText(Step step, const Identity& id) {
  switch (step) {
    case Step::kModel: return id.model;
    case Step::kSerialNumber: return id.serialNumber;
    case Step::kBootFirmwareNumber: return id.bootFirmwareNumber;
    case Step::kBootFirmwareVersion: return id.bootFirmwareVersion;
    case Step::kMainFirmwareNumber: return id.mainFirmwareNumber;
    case Step::kMainFirmwareVersion: return id.mainFirmwareVersion;
    case Step::kPaper: return Word(id.paperPresent, kPaperPresent, kPaperAbsent);
    case Step::kDrawer: return Word(id.drawerClosed, kDrawerClosed, kDrawerOpen);
    case Step::kLogo: return Word(id.logoStored, kLogoStored, kLogoAbsent);
    case Step::kBuildDate: return id.buildDate;
    case Step::kModelSettings:
    case Step::kPaperWidth: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace zelka::discovery
