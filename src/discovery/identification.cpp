#include "discovery/identification.h"

#include <cstdio>

#include "commands/catalogue.h"
#include "commands/codepage.h"
#include "commands/text_line.h"
#include "link/serial_link.h"

namespace zelka::discovery {

using namespace zelka::link;
using zelka::commands::Byte;

namespace {

constexpr int kReadTimeoutMs = 300;
constexpr int kCutLineOffset = 100;  // parameter 10 holds 100 + the track bar's position

// Controls a "Printer Zelka" enables; any other model gets the code page button instead.
constexpr const char* kReferenceModelButtons[] = {"Button17", "Button14", "Button24"};

class Identification {
 public:
  Identification(seams::Context& context, int AMode, RecordWriter* writer)
      : window_(context.window), dialogs_(context.dialogs), mode_(AMode), writer_(writer) {}

  void Run() {
    std::string text;
    const StatusCode model = commands::QueryModelName(text);
    if (!Report(1, "Label2", model, commands::DecodeCp1251(text))) return;
    if (model == kOk) ApplyModel(text);

    if (!ReportText(2, "Label6", [](std::string& t) { return commands::QuerySerialNumber(t); })) return;
    if (!ReportText(3, "Label12", [](std::string& t) {
          return commands::QueryFirmwareNumber(commands::kBootFirmware, t);
        }))
      return;
    const StatusCode bootVersion = commands::QueryFirmwareVersion(commands::kBootFirmware, text);
    if (!Report(4, "Label14", bootVersion, commands::DecodeCp1251(text))) return;
    if (bootVersion == kOk && IsOutdatedBootVersion(text) && mode_ == kWindowRequest) {
      dialogs_.Information(kOutdatedFirmwareMessage);
    }
    if (!ReportText(5, "Label8", [](std::string& t) {
          return commands::QueryFirmwareNumber(commands::kMainFirmware, t);
        }))
      return;
    if (!ReportText(6, "Label10", [](std::string& t) {
          return commands::QueryFirmwareVersion(commands::kMainFirmware, t);
        }))
      return;
    if (!ReportBit(7, "Label16", commands::QueryPaperSensor(), "отсутствует", "есть")) return;
    if (!ReportBit(8, "Label18", commands::QueryStatusByte(commands::kStatusDrawer), "Закрыт",
                   "Открыт"))
      return;
    if (!ReportBit(9, "Label4", commands::QueryInfoByte(commands::kInfoLogoState), "Загружен",
                   "Отсутствует"))
      return;
    ApplyPaperWidth();
    if (!ReportText(10, "Label22", [](std::string& t) { return commands::QueryBuildDate(t); })) return;
    ClosePort();
  }

 private:
  // Shows one answer (a Unicode value) and, for a remote request, writes its record.
  // False when the record could not be written: the client has gone and the rest of the
  // identification is abandoned.
  bool Report(int record, const char* label, StatusCode status, const std::string& value) {
    const bool ok = status == kOk;
    window_.SetValue(label, ok ? value : kNoData, ok ? seams::kWindowTextColour : seams::kRedColour);
    if (mode_ != kRemoteRequest) return true;
    char head[16];
    std::snprintf(head, sizeof head, "SVE%04d%s", record, ok ? "E" : "D");
    return writer_->WriteRecord(head + (ok ? value : std::string(kNoData)));
  }

  // A text query; the printer's text is Windows-1251.
  template <typename Query>
  bool ReportText(int record, const char* label, Query query) {
    std::string text;
    const StatusCode status = query(text);
    return Report(record, label, status, commands::DecodeCp1251(text));
  }

  // A one-byte query: bit 0 of the reply chooses the word.
  bool ReportBit(int record, const char* label, StatusCode status, const char* set,
                 const char* clear) {
    return Report(record, label, status, (RxBuffer[0] & 0x01) ? set : clear);
  }

  void ApplyModel(const std::string& model) {
    if (TrimControlAndSpace(model) == kReferenceModel) {
      for (const char* name : kReferenceModelButtons) window_.SetEnabled(name, true);
      if (commands::ReadPrinterParameter(commands::kParamCutLine) == kOk) {
        window_.SetPosition("TrackBar1", int{RxBuffer[0]} - kCutLineOffset);
        window_.SetEnabled("Button15", true);
      }
      if (commands::ReadPrinterParameter(commands::kParamDensity) == kOk) {
        window_.SetPosition("TrackBar2", int{RxBuffer[0]});
        window_.SetEnabled("Button16", true);
      }
      commands::PrinterVariant = 1;
    } else {
      window_.SetEnabled("Button18", true);
      commands::PrinterVariant = 0;
    }
  }

  // Checking a radio button runs its paper-width action over this phase's open port.
  void ApplyPaperWidth() {
    if (commands::ReadPrinterParameter(commands::kParamPaperWidth) != kOk) {
      window_.SetEnabled("RadioButton80mm", true);
      window_.SetEnabled("RadioButton57mm", false);
      return;
    }
    const Byte width = RxBuffer[0];
    window_.SetEnabled("RadioButton80mm", true);
    window_.SetEnabled("RadioButton57mm", true);
    if (width == 0) {
      window_.SetChecked("RadioButton80mm", true);
    } else if (width == 1) {
      window_.SetChecked("RadioButton57mm", true);
    } else {
      window_.SetEnabled("RadioButton80mm", false);
      window_.SetEnabled("RadioButton57mm", false);
    }
  }

  seams::WindowState& window_;
  seams::Dialogs& dialogs_;
  int mode_;
  RecordWriter* writer_;
};

}  // namespace

bool IsOutdatedBootVersion(const std::string& version) {
  // std::string compares bytes as unsigned values, and a prefix sorts first.
  return version < std::string(kOldestCurrentBootVersion);
}

std::string TrimControlAndSpace(const std::string& text) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void IdentifyPrinter(seams::Context& context, int AMode, RecordWriter* AContext) {
  OpenPort(CurrentPortName, CurrentBaud, kReadTimeoutMs);
  Identification(context, AMode, AContext).Run();
}

}  // namespace zelka::discovery
