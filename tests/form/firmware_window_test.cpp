// The window's way back for a printer left in its bootloader: "Принтер не найден" offers
// the recovery, its dialog names the port, board and file, and the transfer runs with the
// firmware update's bar and messages. And what the window does with files that are not
// firmware, and with a port another program holds.
#include <filesystem>
#include <fstream>
#include <random>

#include "form/form_fixture.h"
#include "link/port_lock.h"

namespace zelka::testing {
namespace {

constexpr char kNotFound[] = "Принтер не найден";
constexpr char kOffer[] =
    "Если обновление прошивки было прервано, принтер может ждать в загрузчике: восстановить прошивку?";

class FirmwareWindowTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    folder = std::filesystem::temp_directory_path() / ("zelka-window-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    FormFixture::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static Bytes Firmware(std::uint8_t board) {
    Bytes image(4 * 256 + 9, 0x5E);
    image.back() = board;
    return image;
  }
  // A search over the stranded printer, answered with `recover` to the offer.
  void SearchAndAnswer(bool recover) {
    dialogs.questionAnswers.push_back(recover);
    Click("Button7");
  }
  std::size_t Count(const std::string& name) const {
    const auto names = sim.CommandNames();
    return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
  }

  std::filesystem::path folder;
};

class StrandedWindowTest : public FirmwareWindowTest {
 protected:
  void SetUp() override {
    FirmwareWindowTest::SetUp();
    sim.Stop();
    sim.StrandInBootloader();
    ASSERT_TRUE(sim.Start());
    MakeForm();
  }
};

TEST_F(StrandedWindowTest, NotFoundOffersRecoveryWhichFlashesWithTheUpdatesBarAndMessage) {
  dialogs.recoveryAnswers.push_back(form::Dialogs::RecoveryChoice{sim.PortName(), 3, Write("fw.bin", Firmware(3))});
  SearchAndAnswer(true);
  EXPECT_EQ(dialogs.questions, std::vector<std::string>{kOffer});
  EXPECT_EQ(dialogs.recoveryPorts, std::vector<std::string>{sim.PortName()});
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"error", kNotFound}, {"information", "Успешно"}}));
  EXPECT_EQ(Window().Position("ProgressBar1"), 1000);
  EXPECT_FALSE(sim.InBootloader());
  Bytes padded = Firmware(3);
  padded.resize(5 * 256, 0xFF);
  EXPECT_EQ(sim.ReceivedImage(), padded);
  EXPECT_EQ(Count("boot entry"), 0u);
  EXPECT_FALSE(form->UpdatingFirmware());
}

// The bootloader cannot tell its board: a file for the other board, one that is no
// firmware, or a "No" to the offer sends nothing past the search.
TEST_F(StrandedWindowTest, WrongBoardForeignFileOrNoSendNothing) {
  const struct {
    const char* what;
    bool recover;
    std::optional<form::Dialogs::RecoveryChoice> choice;
    std::vector<FakeDialogs::Shown> messages;
  } cases[] = {
      {"No to the offer", false, std::nullopt, {{"error", kNotFound}}},
      {"the dialog cancelled", true, std::nullopt, {{"error", kNotFound}}},
      {"a file for board 4 on board 3", true,
       form::Dialogs::RecoveryChoice{sim.PortName(), 3, Write("fw4.bin", Firmware(4))},
       {{"error", kNotFound},
        {"error", "Внимание!!! Данная версия прошивки(версия 4) не соответствует текущей версии платы(версия 3)."}}},
      {"a PNG picture", true,
       form::Dialogs::RecoveryChoice{sim.PortName(), 3, Write("photo.bin", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 3})},
       {{"error", kNotFound}, {"error", "Это рисунок PNG, а не прошивка. Обновление не начато."}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim.ClearLog();
    dialogs.Clear();
    dialogs.recoveryAnswers = {c.choice};
    SearchAndAnswer(c.recover);
    EXPECT_EQ(dialogs.Messages(), c.messages);
    EXPECT_EQ(Count("BL 00 FE") + Count("BL block"), 0u);
    EXPECT_TRUE(sim.InBootloader());
  }
}

// The window honours a port that another program holds for its job: the search is told
// it is busy and sends nothing to it.
TEST_F(FirmwareWindowTest, PortHeldByAnotherProgramIsBusyForTheWindow) {
  MakeForm();
  link::PortLock otherProgram;
  ASSERT_EQ(otherProgram.Take(sim.PortName()), link::PortLock::Outcome::kHeld);
  Click("Button7");
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{std::string(kNotFound) + "\n" + sim.PortName() +
                                                      ": порт занят другой программой"});
  EXPECT_TRUE(sim.Log().empty());
  otherProgram.Release();
  dialogs.Clear();
  Click("Button7");
  EXPECT_EQ(dialogs.Messages().front().kind, "information");
}

}  // namespace
}  // namespace zelka::testing
