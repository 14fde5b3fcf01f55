// The service buttons through the window model: what each shows, what it sends, and that
// the rate chosen in the baud-rate dialog is the one the next job opens at.
#include <mutex>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "form/form_fixture.h"
#include "form/window_state.h"
#include "link/serial_link.h"
#include "service/test_receipts.h"

namespace zelka::testing {
namespace {

using Writes = std::vector<Bytes>;

// Every frame the worker's links write, with the rate of the port it goes out on.
class FrameLog final : public link::Observer {
 public:
  void OnSent(const std::string&, int baud, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(mutex_);
    sent_.emplace_back(Bytes(bytes.begin(), bytes.end()), baud);
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::vector<std::pair<Bytes, int>> Sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  Writes Frames() const {
    Writes frames;
    for (auto& [bytes, baud] : Sent()) frames.push_back(bytes);
    return frames;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    sent_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<Bytes, int>> sent_;
};

class ServiceWindowTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    worker->SetLinkObserver(&log);
    MakeForm();
    // As after a search that found the fixture's printer.
    worker->Submit([port = sim.PortName(), baud = sim.State().baud](printer::Session& s) {
      s.SetPort(port);
      s.SetBaud(baud);
    });
    worker->WaitIdle();
  }
  void TearDown() override {
    if (worker) worker->SetLinkObserver(nullptr);
    FormFixture::TearDown();
  }
  void ForgetPrinter() {
    worker->Submit([](printer::Session& s) { s.SetPort(link::kNoPort); });
    worker->WaitIdle();
  }
  void ExpectValue(const char* label, const std::string& caption) {
    EXPECT_EQ(Window().Caption(label), caption);
    EXPECT_EQ(Window().Colour(label), form::kWindowTextColour);
  }
  void ExpectNoData(const char* label) {
    EXPECT_EQ(Window().Caption(label), "Нет данных");
    EXPECT_EQ(Window().Colour(label), form::kRedColour);
  }
  FrameLog log;
};

TEST_F(ServiceWindowTest, DrawerButtonsShowTheStateAndRedWithoutAnAnswer) {
  // Button4 asks GS r 2; Button2 kicks, then asks ESC u 0.
  sim.Update([](sim::PrinterState& s) { s.drawerStatus = 0x00; });
  Click("Button4");
  ExpectValue("Label18", "Открыт");
  sim.Update([](sim::PrinterState& s) { s.escUReply = 0x01; });
  Click("Button2");
  ExpectValue("Label18", "Закрыт");
  // 0xFF after a kick is no answer.
  sim.Update([](sim::PrinterState& s) { s.escUReply = 0xFF; });
  Click("Button2");
  ExpectNoData("Label18");
  // The next answer turns the label back to the window's colour.
  Click("Button4");
  ExpectValue("Label18", "Открыт");
  sim.SetSilent(true);
  Click("Button4");
  ExpectNoData("Label18");
  sim.SetSilent(false);
  sim.Update([](sim::PrinterState& s) { s.escUReply = 0x00; });
  Click("Button2");
  ExpectValue("Label18", "Открыт");
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ServiceWindowTest, PaperButtonShowsTheSensor) {
  sim.Update([](sim::PrinterState& s) { s.paperSensor = 0x01; });
  Click("Button6");
  ExpectValue("Label16", "отсутствует");
  sim.SetSilent(true);
  Click("Button6");
  ExpectNoData("Label16");
  sim.SetSilent(false);
  sim.Update([](sim::PrinterState& s) { s.paperSensor = 0x00; });
  Click("Button6");
  ExpectValue("Label16", "есть");
}

TEST_F(ServiceWindowTest, StateLabelsTurnRedWithoutAPrinter) {
  ForgetPrinter();
  for (const char* button : {"Button2", "Button4", "Button6"}) Click(button);
  ExpectNoData("Label18");
  ExpectNoData("Label16");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(ServiceWindowTest, SelfTestReportsHealthOnlyWhenThePrinterAnswers) {
  Click("Button17");
  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{{"information", "Принтер исправен"}}));
  dialogs.Clear();
  sim.AddFault({.prefix = {0x1B, 0x76}, .kind = sim::Fault::Kind::Silent});
  Click("Button17");
  EXPECT_TRUE(dialogs.Messages().empty());
  sim.ClearFaults();
  ForgetPrinter();
  Click("Button17");
  EXPECT_TRUE(dialogs.Messages().empty());
}

// The bars keep their values within their ranges; the edit boxes show them.
TEST_F(ServiceWindowTest, ApplyButtonsSendTheTrackBarValues) {
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
    log.Clear();
    Click(c.button);
    EXPECT_EQ(log.Frames(), Writes{c.frame});
    EXPECT_EQ(Window().Caption(c.bar == std::string("TrackBar1") ? "Edit1" : "Edit2"), c.edit);
  }
}

// Button22 prints the layout of the checked paper width, 80 mm when neither is checked.
TEST_F(ServiceWindowTest, TestReceiptFollowsThePaperRadioButtons) {
  struct Case {
    const char* radio;  // nullptr: neither checked
    service::ReceiptLayout layout;
  };
  const std::vector<Case> cases = {{nullptr, service::ReceiptLayout::k80mm},
                                   {"RadioButton57mm", service::ReceiptLayout::k57mm},
                                   {"RadioButton80mm", service::ReceiptLayout::k80mm}};
  // The frames of each layout as the operation itself writes them.
  const auto framesOf = [this](service::ReceiptLayout layout) {
    TxRecorder tx;
    UsePrinter();
    session->SetLinkObserver(&tx);
    service::PrintTestReceipt(*session, layout);
    session->SetLinkObserver(nullptr);
    session->EndJob();  // the port is the worker's again
    return tx.Writes();
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.radio ? c.radio : "none");
    if (c.radio) {
      Window().SetChecked(c.radio, true);
      Settle();  // the printer takes that width first
    }
    log.Clear();
    Click("Button22");
    EXPECT_EQ(log.Frames(), framesOf(c.layout));
  }
}

TEST_F(ServiceWindowTest, SpeedButtonOnlyShowsTheDialog) {
  Click("Button24");
  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{{"modeless", "TForm2"}}));
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_FALSE(form->Busy());
}

Bytes SetBaudFrame(std::uint8_t code) { return {0x1F, 0x02, 0x00, code, 0x00, 0x00, 0x03, 0x00}; }

// "Установить" sends the first checked rate (57600 when none is), at the old rate.
TEST_F(ServiceWindowTest, DialogSendsTheChosenRate) {
  struct Case {
    const char* radio;  // nullptr: none checked
    std::uint8_t code;
    int baud;
  };
  const std::vector<Case> cases = {{nullptr, 0x06, 57600},
                                   {"TForm2.RadioButton1", 0x03, 9600},
                                   {"TForm2.RadioButton2", 0x04, 19200},
                                   {"TForm2.RadioButton3", 0x06, 57600},
                                   {"TForm2.RadioButton4", 0x07, 115200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.baud);
    // Each time the printer and the program start out at 57600.
    sim.Update([](sim::PrinterState& s) { s.baud = 57600; });
    worker->Submit([](printer::Session& s) { s.SetBaud(57600); });
    if (c.radio) Window().SetChecked(c.radio, true);
    log.Clear();
    Click("TForm2.Button1");
    EXPECT_EQ(log.Sent(), (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(c.code), 57600}}));
  }
}

// The next job opens at the new rate, and the printer answers it there.
TEST_F(ServiceWindowTest, NextJobOpensAtTheDialogsRate) {
  Window().SetChecked("TForm2.RadioButton4", true);
  Click("TForm2.Button1");
  // A serial line carries the rate command at the old rate before the port closes; a pty
  // hands it over only when the simulator reads it, which a busy machine may put off
  // until the program has reopened the port at the new rate. The printer has it first.
  ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(10)));
  log.Clear();
  Click("Button6");
  ExpectValue("Label16", "есть");
  EXPECT_EQ(log.Sent(), (std::vector<std::pair<Bytes, int>>{{{0x1D, 0x72, 0x31}, 115200}}));
}

// Button5 tells the printer 9600 but the program goes on at its old rate.
TEST_F(ServiceWindowTest, HiddenButton5KeepsTheProgramsRate) {
  Click("Button5");
  Click("Button12");
  EXPECT_EQ(log.Sent(), (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(0x03), 57600},
                                                           {{0x1B, 0x07}, 57600}}));
}

}  // namespace
}  // namespace zelka::testing
