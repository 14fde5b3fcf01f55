// The stored logo (Button8 load, Button9 erase, Button10 print) against a simulated
// printer: the frames, Label4, and the messages and their order.
#include "graphics/logo_store.h"

#include <algorithm>

#include "graphics/graphics_fixture.h"
#include "graphics/messages.h"
#include "link/serial_link.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using seams::kRedColour;
using seams::kWindowTextColour;
using Bytes = std::vector<std::uint8_t>;
using Shown = FakeDialogs::Shown;

const Bytes kLogoStateQuery{0x1D, 0x49, 0x34};

Bytes LoadFrame(const Bytes& file) {
  Bytes frame(file.size() + 1, 0x1B);
  std::copy(file.begin(), file.end(), frame.begin() + 1);
  return frame;
}

class LogoStoreTest : public GraphicsFixture {
 protected:
  void SetUp() override {
    GraphicsFixture::SetUp();
    MakePrinterForm();
  }
  void ExpectLabel4(const std::string& caption, std::uint32_t colour) {
    EXPECT_EQ(Window().Caption("Label4"), caption);
    EXPECT_EQ(Window().Colour("Label4"), colour);
  }
};

TEST_F(LogoStoreTest, LoadSendsTheFileBehindEscThenAsksForTheState) {
  const Bytes file = MakeBitmap({384, 20});
  Choose(WriteFile("logo.bmp", file));
  TxRecorder tx;
  Click("Button8");

  EXPECT_EQ(dialogs.filters, std::vector<std::string>{"Файлы  (*.bmp) | *.BMP"});
  EXPECT_EQ(dialogs.previews, std::vector<bool>{true});
  EXPECT_EQ(dialogs.repaints, 1);
  EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"information", "Логотип успешно загружен"}}));
  const auto writes = tx.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].size(), file.size() + 1);
  EXPECT_EQ((Bytes{writes[0][0], writes[0][1], writes[0][2]}), (Bytes{0x1B, 'B', 'M'}));
  EXPECT_EQ(writes[0], LoadFrame(file));
  EXPECT_EQ(writes[1], kLogoStateQuery);
  ExpectLabel4("Загружен", kWindowTextColour);
  EXPECT_FALSE(PortIsOpen);

  const auto commands = CommandsOnceThere(2);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].name, "logo");
  EXPECT_EQ(commands[1].name, "GS I");
}

TEST_F(LogoStoreTest, ReplyWithBitZeroClearShowsAbsentWithoutFurtherMessage) {
  sim.AddFault({.prefix = kLogoStateQuery, .kind = sim::Fault::Kind::Reply, .reply = {0xFE}});
  Choose(WriteFile("logo.bmp", MakeBitmap({64, 8})));
  Window().SetValue("Label4", "Нет данных", kRedColour);
  Click("Button8");
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Логотип успешно загружен"});
  ExpectLabel4("Отсутствует", kWindowTextColour);
}

TEST_F(LogoStoreTest, LoadWithoutReplyShowsSuccessThenThePowerCycleAdvice) {
  Choose(WriteFile("logo.bmp", MakeBitmap({64, 8})));
  Window().SetValue("Label4", "Загружен", kWindowTextColour);
  std::string label4WhenAdvised;
  // The printer goes off after taking the file: the state query gets nothing.
  dialogs.onShow = [&](const Shown& shown) {
    if (shown.text == graphics::kLogoLoaded) sim.Stop();
    if (shown.text == graphics::kPowerCycleAdvice) label4WhenAdvised = Window().Caption("Label4");
  };
  Click("Button8");

  EXPECT_EQ(dialogs.Messages(),
            (std::vector<Shown>{
                {"information", "Логотип успешно загружен"},
                {"information", "Выключите принтер, подождите 7 секунд и снова включите."}}));
  EXPECT_EQ(label4WhenAdvised, "Нет данных");
  ExpectLabel4("Нет данных", kRedColour);
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(LogoStoreTest, AnyBitmapGoesUnchangedUpToTheBufferLimit) {
  const Bytes colour = MakeBitmap({40, 6, 24});
  const Bytes largest = PaddedTo(MakeBitmap({8, 1}), graphics::kLogoFileLimit);
  ASSERT_EQ(largest.size(), 740959u);
  Choose(WriteFile("colour.bmp", colour));
  Choose(WriteFile("largest.bmp", largest));
  TxRecorder tx;
  Click("Button8");
  Click("Button8");

  const auto writes = tx.Writes();
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(writes[0], LoadFrame(colour)) << "the printer decodes the depth, not the PC";
  EXPECT_EQ(writes[2].size(), 740960u);
  EXPECT_EQ(writes[2], LoadFrame(largest));
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(2, "Логотип успешно загружен"));
  const auto commands = CommandsOnceThere(4);
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[2].name, "logo");
  EXPECT_EQ(commands[2].bytes.size(), 740960u);
}

TEST_F(LogoStoreTest, PortThatDoesNotOpenIsAnErrorNotASuccess) {
  CurrentPortName = (dir / "no-such-port").string();
  Choose(WriteFile("logo.bmp", MakeBitmap({64, 8})));
  Window().SetValue("Label4", "Загружен", kWindowTextColour);
  TxRecorder tx;
  Click("Button8");
  EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"error", graphics::kLogoPortFailed}}));
  EXPECT_EQ(dialogs.Texts()[0], "Не удалось открыть порт принтера. Логотип не загружен.");
  EXPECT_TRUE(tx.Writes().empty());
  ExpectLabel4("Загружен", kWindowTextColour);  // nothing was learnt of the printer
}

TEST_F(LogoStoreTest, FileThatIsNotWrittenWholeIsAnErrorThenTheStateQueryAdvises) {
  Choose(WriteFile("logo.bmp", MakeBitmap({64, 8})));
  Window().SetValue("Label4", "Загружен", kWindowTextColour);
  SetTxTap([&](std::span<const std::uint8_t> bytes) {
    if (bytes.size() > 3) sim.Stop();  // the printer vanishes as the file goes out
  });
  Click("Button8");
  SetTxTap({});

  EXPECT_EQ(dialogs.Messages(), (std::vector<Shown>{{"error", graphics::kLogoSendFailed},
                                                    {"information", graphics::kPowerCycleAdvice}}));
  ExpectLabel4("Нет данных", kRedColour);
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(LogoStoreTest, EraseSendsThreeBytesThenTheStateQueryAndShowsNoMessage) {
  sim.Update([](sim::PrinterState& s) { s.logoState = 0x01; });
  Window().SetValue("Label4", "Загружен", kWindowTextColour);
  TxRecorder tx;
  Click("Button9");

  EXPECT_EQ(tx.Writes(), (std::vector<Bytes>{{0x1D, 0x40, 0x31}, kLogoStateQuery}));
  ExpectLabel4("Отсутствует", kWindowTextColour);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.filters.size(), 0u) << "no file, no confirmation";
  EXPECT_EQ(sim.State().logoState & 1, 0);
  EXPECT_FALSE(PortIsOpen);

  // Without a printer: "Нет данных" in red, still no message.
  CurrentPortName = (dir / "no-such-port").string();
  Click("Button9");
  ExpectLabel4("Нет данных", kRedColour);
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(LogoStoreTest, PrintSendsGsSlashZeroAndNothingElse) {
  TxRecorder tx;
  Click("Button10");
  EXPECT_EQ(tx.Writes(), (std::vector<Bytes>{{0x1D, 0x2F, 0x00}}));
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.filters.size(), 0u);
  EXPECT_FALSE(PortIsOpen);
}

}  // namespace
}  // namespace zelka::testing
