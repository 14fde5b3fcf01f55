// The settings stored in the printer: cut line, density, code page and baud rate.
#include "service/printer_settings.h"

#include <span>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using Writes = std::vector<Bytes>;

Bytes SetBaudFrame(std::uint8_t code) { return {0x1F, 0x02, 0x00, code, 0x00, 0x00, 0x03, 0x00}; }

class PrinterSettingsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    MakeForm();
    CurrentPortName = sim.PortName();
  }
};

// Every frame the program writes, with the rate of the port it goes out on.
class RateRecorder {
 public:
  RateRecorder() {
    SetTxTap([this](std::span<const std::uint8_t> bytes) {
      sent.emplace_back(Bytes(bytes.begin(), bytes.end()), CurrentBaud);
    });
  }
  ~RateRecorder() { SetTxTap({}); }
  std::vector<std::pair<Bytes, int>> sent;
};

TEST_F(PrinterSettingsTest, ApplyButtonsWriteTheTrackBarValues) {
  struct Case {
    const char* bar;
    const char* button;
    int position;  // as the user or the program sets it; the bar clamps it
    Bytes frame;
    const char* edit;
  };
  const std::vector<Case> cases = {
      {"TrackBar1", "Button15", 0, {0x1F, 0x03, 0x0A, 0x64}, "0"},
      {"TrackBar1", "Button15", 50, {0x1F, 0x03, 0x0A, 0x96}, "100"},
      {"TrackBar1", "Button15", 25, {0x1F, 0x03, 0x0A, 0x7D}, "50"},
      {"TrackBar1", "Button15", 80, {0x1F, 0x03, 0x0A, 0x96}, "100"},
      {"TrackBar2", "Button16", 100, {0x1F, 0x03, 0x41, 0x64}, "100"},
      {"TrackBar2", "Button16", 20, {0x1F, 0x03, 0x41, 0x14}, "20"},
      {"TrackBar2", "Button16", 5, {0x1F, 0x03, 0x41, 0x14}, "20"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.bar) + " " + std::to_string(c.position));
    Window().SetPosition(c.bar, c.position);
    TxRecorder tx;
    Click(c.button);
    EXPECT_EQ(tx.Writes(), Writes{c.frame});
    EXPECT_EQ(Window().Caption(c.bar == std::string("TrackBar1") ? "Edit1" : "Edit2"), c.edit);
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(PrinterSettingsTest, CodePageButtonSendsEscR7) {
  TxRecorder tx;
  Click("Button18");
  EXPECT_EQ(tx.Writes(), (Writes{{0x1B, 0x52, 0x07}}));
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(PrinterSettingsTest, SpeedButtonOnlyShowsTheDialog) {
  Click("Button24");
  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{{"modeless", "TForm2"}}));
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(PrinterSettingsTest, ChosenRateIsTheFirstCheckedRadioButton) {
  struct Case {
    const char* radio;  // nullptr: none checked
    int baud;
  };
  const std::vector<Case> cases = {{nullptr, 57600},
                                   {"TForm2.RadioButton1", 9600},
                                   {"TForm2.RadioButton2", 19200},
                                   {"TForm2.RadioButton3", 57600},
                                   {"TForm2.RadioButton4", 115200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.baud);
    if (c.radio) Window().SetChecked(c.radio, true);
    EXPECT_EQ(service::ChosenBaudRate(Window()), c.baud);
  }
}

// The new rate goes out at the old one; from then on the port opens at the new one.
TEST_F(PrinterSettingsTest, DialogChangesThePrinterRateAndTheOneTheProgramUses) {
  RateRecorder rates;
  Window().SetChecked("TForm2.RadioButton4", true);
  Click("TForm2.Button1");
  EXPECT_EQ(CurrentBaud, 115200);
  Click("TForm2.Button1");
  EXPECT_EQ(CurrentBaud, 115200);
  EXPECT_EQ(rates.sent, (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(0x07), 57600},
                                                            {SetBaudFrame(0x07), 115200}}));
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(PrinterSettingsTest, DialogWithNothingCheckedSends57600) {
  TxRecorder tx;
  Click("TForm2.Button1");
  EXPECT_EQ(tx.Writes(), Writes{SetBaudFrame(0x06)});
  EXPECT_EQ(CurrentBaud, 57600);
}

// Button5 tells the printer 9600 but the program goes on at its old rate.
TEST_F(PrinterSettingsTest, HiddenButton5KeepsTheProgramsRate) {
  RateRecorder rates;
  Click("Button5");
  EXPECT_EQ(CurrentBaud, 57600);
  // The next operation still opens at 57600.
  Click("Button12");
  EXPECT_EQ(rates.sent, (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(0x03), 57600},
                                                            {{0x1B, 0x07}, 57600}}));
}

TEST_F(PrinterSettingsTest, SettingsWithoutAPrinterSendNothingAndShowNothing) {
  CurrentPortName = kNoPort;
  for (const char* button : {"Button15", "Button16", "Button18", "Button5", "TForm2.Button1"}) {
    SCOPED_TRACE(button);
    Click(button);
    EXPECT_FALSE(PortIsOpen);
  }
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(sim.Log().empty());
  // The dialog takes its rate whatever happened.
  EXPECT_EQ(CurrentBaud, 57600);
}

}  // namespace
}  // namespace zelka::testing
