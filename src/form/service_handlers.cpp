// The service actions, the printer's settings, the test receipts and the QR code.
#include "discovery/identity_words.h"
#include "form/main_form.h"
#include "form/messages.h"
#include "service/printer_settings.h"
#include "service/service_actions.h"
#include "service/test_receipts.h"

namespace zelka::form {

namespace {

using Action = printer::Result (*)(printer::Session&);

// Buttons whose job reports nothing in the window.
struct SilentButton {
  const char* name;
  Action action;
};

printer::Result SendBaudRate9600(printer::Session& session) {
  // Button5 tells the printer 9600 baud but keeps opening its port at the old rate.
  return service::SetPrinterBaudRate(session, 9600, /*keepRate=*/true);
}

printer::Result PrintReceipt57On80(printer::Session& session) {
  return service::PrintTestReceipt(session, service::ReceiptLayout::k57mmOn80mm);
}

constexpr SilentButton kSilentButtons[] = {
    {"Button1", service::FeedOneLine},      {"Button12", service::SoundSignal},
    {"Button13", service::CutWithSampleLines}, {"Button18", service::SelectCodePage866},
    {"Button5", SendBaudRate9600},          {"Button21", PrintReceipt57On80},
    {"Button20", service::PrintSampleReceipt}, {"Button19", service::PrintSampleQrCode},
    {"Button10", service::PrintStoredLogo},
};

// A state label: "Нет данных" in red when the printer gave no usable answer, else one of
// two words by bit 0 in the window's text colour (so a red label turns back).
void ShowState(WindowState& window, const char* label, const service::StateReading& reading,
               const char* bitSet, const char* bitClear) {
  if (!reading.bitSet) {
    window.SetValue(label, discovery::kNoData, kRedColour);
    return;
  }
  window.SetValue(label, *reading.bitSet ? bitSet : bitClear, kWindowTextColour);
}

void RunStateJob(MainForm& form, service::StateReading (*read)(printer::Session&), const char* label,
                 const char* bitSet, const char* bitClear) {
  form.RunJob<service::StateReading>(read, [&form, label, bitSet, bitClear](service::StateReading r) {
    ShowState(form.Window(), label, r, bitSet, bitClear);
  });
}

// The rate of TForm2's first checked radio button; 57600 when none is checked.
int ChosenBaudRate(const WindowState& window) {
  struct Choice {
    const char* radioButton;
    int baud;
  };
  static constexpr Choice kChoices[] = {{"TForm2.RadioButton1", 9600},
                                        {"TForm2.RadioButton2", 19200},
                                        {"TForm2.RadioButton3", 57600},
                                        {"TForm2.RadioButton4", 115200}};
  for (const Choice& choice : kChoices) {
    if (window.Checked(choice.radioButton)) return choice.baud;
  }
  return 57600;
}

}  // namespace

void RegisterServiceHandlers(MainForm& form) {
  for (const SilentButton& button : kSilentButtons) {
    form.SetHandler(button.name, [&form, action = button.action] {
      form.RunJob<printer::Result>(action, {});
    });
  }
  form.SetHandler("Button2", [&form] {
    RunStateJob(form, service::KickDrawerAndReadState, "Label18", discovery::kDrawerClosed,
                discovery::kDrawerOpen);
  });
  form.SetHandler("Button4", [&form] {
    RunStateJob(form, service::ReadDrawerState, "Label18", discovery::kDrawerClosed,
                discovery::kDrawerOpen);
  });
  form.SetHandler("Button6", [&form] {
    RunStateJob(form, service::ReadPaperSensor, "Label16", discovery::kPaperAbsent,
                discovery::kPaperPresent);
  });
  form.SetHandler("Button17", [&form] {
    form.RunJob<printer::Result>(service::RunSelfTest, [&form](printer::Result result) {
      if (result.Ok()) form.Dialog().Information(form.Tr(kPrinterHealthyMessage));
    });
  });
  form.SetHandler("Button15", [&form] {
    // The window state keeps the position within 0..50.
    const int position = form.Window().Position("TrackBar1");
    form.RunJob<printer::Result>(
        [position](printer::Session& s) { return service::WriteCutLine(s, position); }, {});
  });
  form.SetHandler("Button16", [&form] {
    const int density = form.Window().Position("TrackBar2");
    form.RunJob<printer::Result>(
        [density](printer::Session& s) { return service::WriteDensity(s, density); }, {});
  });
  form.SetHandler("Button22", [&form] {
    // Neither width checked prints the 80 mm layout.
    const auto layout = form.Window().Checked("RadioButton57mm") ? service::ReceiptLayout::k57mm
                                                                 : service::ReceiptLayout::k80mm;
    form.RunJob<printer::Result>(
        [layout](printer::Session& s) { return service::PrintTestReceipt(s, layout); }, {});
  });
  form.SetHandler("Button24", [&form] { form.Dialog().ShowModeless("TForm2"); });
  // "Установить" of the baud-rate dialog: the printer gets the rate and keeps it.
  form.SetHandler("TForm2.Button1", [&form] {
    const int baud = ChosenBaudRate(form.Window());
    form.RunJob<printer::Result>(
        [baud](printer::Session& s) { return service::SetPrinterBaudRate(s, baud); }, {});
  });
}

}  // namespace zelka::form
