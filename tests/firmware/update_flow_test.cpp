// The "Обновить прошивку" button: file choice, board check, the bootloader steps with the
// progress bar, and the message of every outcome.
#include "firmware/update_flow.h"

#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

#include "commands/catalogue.h"
#include "firmware/firmware_fixture.h"
#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::testing {
namespace {

using std::chrono::milliseconds;
using Names = std::vector<std::string>;
using Shown = FakeDialogs::Shown;

const Bytes kBootEntry{0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};
const Bytes kSpeed{0x07, 0x02};
const Bytes kReady{0x00, 0xFE};
const Bytes kEnquiry{0x05};
const Bytes kStart{0x01};
const Bytes kBlock{0x02};
const Bytes kEnd{0x04};
const Bytes kBootNumberQuery{0x1D, 0x49, 0x40, 0x2B};

constexpr const char* kFilter = "Файлы BIOS (*.bin) | *.bin";

class UpdateFlowTest : public FirmwareFixture {
 protected:
  void SetUp() override {
    FirmwareFixture::SetUp();
    MakeForm();
    // What the last update left; the button starts the bar from 0 again.
    Window().SetPosition("ProgressBar1", 1000);
    // Every position the bar takes, and whether the port was open at that moment.
    Window().SetObserver([this](const std::string& name) {
      if (name != "ProgressBar1") return;
      bar.push_back(Window().Position("ProgressBar1"));
      portOpenAtBar.push_back(link::PortIsOpen);
    });
  }
  void SetBootNumber(const std::string& number) {
    sim.Update([&](sim::PrinterState& s) { s.bootNumberReply = sim::MakeTextReply(number, 14); });
  }
  void Choose(const std::string& path) { dialogs.fileAnswers.push_back(path); }
  // The bar's fixed positions, without the steps of the blocks.
  std::vector<int> FixedBar() const {
    std::vector<int> fixed;
    for (int p : bar)
      if (p == 0 || p == 100 || p == 300 || p == 400 || p == 1000) fixed.push_back(p);
    return fixed;
  }

  std::vector<int> bar;
  std::vector<bool> portOpenAtBar;
};

TEST_F(UpdateFlowTest, MatchingFileIsInstalledWithTheBarMovingWithTheBlocks) {
  const Bytes image = Image(20 * 256 + 1, 3);  // for the "ZELKA-000001" board
  Choose(WriteFile(image));
  Click("Button14");

  EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"information", "Успешно"}}));
  EXPECT_EQ(dialogs.filters, Names{kFilter});
  EXPECT_EQ(dialogs.previews, std::vector<bool>{false});
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
  EXPECT_EQ(CommandLog().front().name, "GS I @");
  EXPECT_EQ(CommandLog().front().bytes, kBootNumberQuery);

  EXPECT_EQ(FixedBar(), (std::vector<int>{0, 100, 300, 400, 1000}));
  ASSERT_GT(bar.size(), 15u) << "the bar moves with the 21 blocks";
  for (std::size_t i = 1; i < bar.size(); ++i) EXPECT_LT(bar[i - 1], bar[i]) << i;
  EXPECT_GE(dialogs.repaints, static_cast<int>(bar.size()) - 1) << "each move is shown";
  EXPECT_LE(dialogs.repaints, static_cast<int>(bar.size()) + 5) << "not a repaint per block";
  EXPECT_FALSE(link::PortIsOpen);
}

TEST_F(UpdateFlowTest, NothingHappensWithoutAnExistingFile) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>{}, std::optional<std::string>{(folder / "gone.bin").string()},
        std::optional<std::string>{folder.string()}}) {
    Window().SetPosition("ProgressBar1", 550);
    bar.clear();
    dialogs.fileAnswers.push_back(answer);
    Click("Button14");
    EXPECT_EQ(bar, std::vector<int>{0}) << answer.value_or("cancelled");
  }
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(UpdateFlowTest, FileTooLargeForTheImageBufferIsRefusedBeforeAnythingIsSent) {
  Choose(WriteFile(Image(700001, 3)));
  Click("Button14");
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<Shown>{{"error", "Файл прошивки слишком велик: 700001 байт, принтер принимает "
                                          "не более 700000 байт. Обновление не начато."}}));
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_EQ(bar, std::vector<int>{0});
}

TEST_F(UpdateFlowTest, LargestFileThatFitsIsSentWhole) {
  const Bytes image = Image(700000, 3);
  Choose(WriteFile(image));
  Click("Button14");
  EXPECT_EQ(dialogs.Texts(), Names{"Успешно"});
  EXPECT_EQ(CountOf("BL block"), 2735u);
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
}

struct BoardCase {
  const char* what;
  std::string bootNumber;
  bool queryAnswered;
  Bytes file;
  std::string refusal;  // empty: the update goes on and succeeds
  friend void PrintTo(const BoardCase& c, std::ostream* out) { *out << c.what; }
};

class BoardCheckFlowTest : public UpdateFlowTest, public ::testing::WithParamInterface<BoardCase> {};

TEST_P(BoardCheckFlowTest, FileIsCheckedAgainstTheBoardBeforeTheBootloader) {
  const BoardCase& c = GetParam();
  SetBootNumber(c.bootNumber);
  if (!c.queryAnswered) sim.AddFault({.prefix = kBootNumberQuery, .kind = sim::Fault::Kind::Silent});
  Choose(WriteFile(c.file));
  Click("Button14");
  if (c.refusal.empty()) {
    EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"information", "Успешно"}}));
    EXPECT_EQ(sim.ReceivedImage(), Padded(c.file));
    EXPECT_EQ(bar.back(), 1000);
  } else {
    EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"error", c.refusal}}));
    EXPECT_EQ(sim.CommandNames(), Names{"GS I @"}) << "nothing beyond the query";
    EXPECT_EQ(bar, std::vector<int>{0});
  }
  EXPECT_FALSE(link::PortIsOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BoardCheckFlowTest,
    ::testing::Values(
        BoardCase{"file for board 4 on board 3", "ZELKA-000001", true, Image(300, 4),
                  "Внимание!!! Данная версия прошивки(версия 4) не соответствует текущей версии "
                  "платы(версия 3)."},
        BoardCase{"file for board 3 on board 4", "ZELKA-000002", true, Image(300, 3),
                  "Внимание!!! Данная версия прошивки(версия 3) не соответствует текущей версии "
                  "платы(версия 4)."},
        BoardCase{"trailing spaces", "ZELKA-000002   ", true, Image(300, 4), ""},
        BoardCase{"unknown board", "ZELKA-000007", true, Image(300, 3),
                  "Внимание!!! Данная версия программы устарела и не поддерживает текущую версии "
                  "платы. Пожалуйста обновите программу с сайта: "
                  "https://www.zelka-printers.ru/downloads/service-utility"},
        BoardCase{"empty file reads as board 0", "ZELKA-000001", true, {},
                  "Внимание!!! Данная версия прошивки(версия 0) не соответствует текущей версии "
                  "платы(версия 3)."},
        BoardCase{"unanswered query: sent unchecked", "ZELKA-000001", false,
                  Image(300, 9), ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// How the printer fails one step; the result code it leads to and its message.
struct FaultCase;

class FaultFlowTest : public UpdateFlowTest, public ::testing::WithParamInterface<FaultCase> {
 public:
  void Silent(const Bytes& prefix, int after = 0) {
    sim.AddFault({.prefix = prefix, .kind = sim::Fault::Kind::Silent, .times = 1, .after = after});
  }
  void Reply(const Bytes& prefix, std::uint8_t reply, int after = 0) {
    sim.AddFault({.prefix = prefix, .kind = sim::Fault::Kind::Reply, .reply = {reply}, .times = 1,
                  .after = after});
  }
  using FirmwareFixture::DropLineOn;
  using FirmwareFixture::OnFrame;
  std::string path;
};

struct FaultCase {
  const char* what;
  std::function<void(FaultFlowTest&)> arrange;
  std::string message;
  friend void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.what; }
};

TEST_P(FaultFlowTest, FailedStepEndsWithItsCodeTheBarAt100AndThePortClosed) {
  const FaultCase& c = GetParam();
  path = WriteFile(Image(5 * 256, 3));
  c.arrange(*this);
  Choose(path);
  {
    // Held around the button as a caller up the stack would: whatever is still open
    // afterwards was left open by the update itself.
    link::PrinterOperation outer;
    Click("Button14");
    EXPECT_FALSE(link::PortIsOpen);
  }
  EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"error", c.message}}));
  EXPECT_EQ(FixedBar(), (std::vector<int>{0, 100, 300, 400, 1000}));
  // The fixed steps come after each routine has returned, while the update still holds the
  // link: no routine leaves its port open for the next one.
  for (std::size_t i = 0; i < bar.size(); ++i) {
    if (bar[i] == 100 || bar[i] == 300 || bar[i] == 400) {
      EXPECT_FALSE(portOpenAtBar[i]) << "at " << bar[i];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FaultFlowTest,
    ::testing::Values(
        FaultCase{"no reply to the boot entry", [](auto& t) { t.Silent(kBootEntry); }, "Ошибка N1: 1"},
        FaultCase{"no reply to the speed command", [](auto& t) { t.Silent(kSpeed); }, "Ошибка N: 31"},
        FaultCase{"no reply to 00 FE", [](auto& t) { t.Silent(kReady); }, "Ошибка N: 21"},
        FaultCase{"NAK to 00 FE", [](auto& t) { t.Reply(kReady, 0x15); }, "Ошибка N: 22"},
        FaultCase{"no reply to the first enquiry", [](auto& t) { t.Silent(kEnquiry); }, "Ошибка N3: 3"},
        FaultCase{"no reply to the enquiry after reopening",
                  [](auto& t) { t.DropLineOn(kEnquiry, 1); }, "Ошибка N3: 3"},
        FaultCase{"no reply to the transfer's speed command",
                  [](auto& t) { t.Silent(kSpeed, 1); }, "Ошибка N: 31"},
        FaultCase{"no reply to 01", [](auto& t) { t.DropLineOn(kStart); }, "Ошибка N: 5"},
        FaultCase{"NAK to 01", [](auto& t) { t.Reply(kStart, 0x15); }, "Ошибка N: 6"},
        FaultCase{"no reply to the second block", [](auto& t) { t.DropLineOn(kBlock, 1); }, "Ошибка N: 7"},
        FaultCase{"CAN to the second block", [](auto& t) { t.Reply(kBlock, 0x18, 1); }, "Ошибка N: 8"},
        FaultCase{"NAK to the third block", [](auto& t) { t.Reply(kBlock, 0x15, 2); }, "Ошибка N: 9"},
        FaultCase{"no reply to 04", [](auto& t) { t.DropLineOn(kEnd); }, "Ошибка N: 10"},
        FaultCase{"CAN to 04", [](auto& t) { t.Reply(kEnd, 0x18); }, "Ошибка N: 11"},
        FaultCase{"file gone when the transfer reads it",
                  [](auto& t) { t.OnFrame(kReady, 0, [&t] { std::filesystem::remove(t.path); }); },
                  "Ошибка N: 12. Не удалось прочитать файл прошивки."}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(UpdateFlowTest, NoOtherExchangeReachesThePrinterDuringAnUpdate) {
  // A remote search probes the printer while it is in its bootloader.
  std::unique_ptr<QThread> remote;
  std::atomic<bool> asking{false};
  link::StatusCode probe = -1;
  Window().SetObserver([&](const std::string& name) {
    if (name != "ProgressBar1" || Window().Position("ProgressBar1") != 300 || remote) return;
    remote.reset(QThread::create([&] {
      asking = true;
      link::PrinterOperation operation;
      link::OpenPort(link::CurrentPortName, link::CurrentBaud, 300);
      probe = commands::QueryPaperSensor();
      link::ClosePort();
    }));
    remote->start();
    while (!asking) std::this_thread::yield();
    std::this_thread::sleep_for(milliseconds{20});  // time to reach the lock
  });
  Choose(WriteFile(Image(3 * 256, 3)));
  Click("Button14");
  ASSERT_TRUE(remote);
  remote->wait();
  EXPECT_EQ(dialogs.Texts(), Names{"Успешно"});
  EXPECT_EQ(probe, link::kOk) << "answered by the main firmware, back after the update";
  const Names names = sim.CommandNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), "GS r");
  EXPECT_EQ(CountOf("GS r"), 1u);
}

}  // namespace
}  // namespace zelka::testing
