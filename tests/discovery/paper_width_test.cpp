// The paper-width switches, run by the user's click or by the program's check.
#include "service/paper_width.h"

#include "link/link_lock.h"
#include "link/serial_link.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;

class PaperWidthTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    MakeForm();
    CurrentPortName = sim.PortName();
  }
  std::vector<Bytes> Frames() {
    std::vector<Bytes> frames;
    for (const auto& e : sim.Log()) frames.push_back(e.bytes);
    return frames;
  }
};

TEST_F(PaperWidthTest, PrinterThatTakesTheWidthKeepsTheChoice) {
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_EQ(Frames(), (std::vector<Bytes>{{0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08}}));
  EXPECT_TRUE(Window().Checked("RadioButton57mm"));
  EXPECT_TRUE(Window().Enabled("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("RadioButton57mm"));
  EXPECT_FALSE(Window().Enabled("Button21"));
  EXPECT_FALSE(PortIsOpen);
  // Checking the checked button again runs nothing.
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_EQ(Frames().size(), 2u);
}

TEST_F(PaperWidthTest, PrinterThatKeeps80mmRunsThe80mmActionInsideOverOneOpening) {
  sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Reply, .reply = {0x00}});
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_EQ(Frames(), (std::vector<Bytes>{{0x1F, 0x03, 0x08, 0x01},
                                          {0x1F, 0x07, 0x08},
                                          {0x1F, 0x03, 0x08, 0x00},
                                          {0x1F, 0x07, 0x08}}));
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("Button21"));
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(PaperWidthTest, UnknownWidthDisablesBothAndFailedReadOffers80mmOnly) {
  sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Reply, .reply = {0x02}});
  Window().SetChecked("RadioButton80mm", true);
  EXPECT_FALSE(Window().Enabled("RadioButton80mm"));
  EXPECT_FALSE(Window().Enabled("RadioButton57mm"));

  sim.ClearFaults();
  sim.AddFault({.prefix = {0x1F, 0x07}, .kind = sim::Fault::Kind::Silent});
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_TRUE(Window().Enabled("RadioButton80mm"));
  EXPECT_FALSE(Window().Enabled("RadioButton57mm"));
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("Button21"));
}

TEST_F(PaperWidthTest, NoPrinterKnownSendsNothingButTheCheckChanges) {
  CurrentPortName = "0";
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_TRUE(Window().Checked("RadioButton57mm"));
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(PaperWidthTest, NestedInsideAnOpenPortLeavesItOpen) {
  PrinterOperation operation;
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  Window().SetChecked("RadioButton57mm", true);
  EXPECT_TRUE(PortIsOpen);
}

TEST_F(PaperWidthTest, HiddenButtonReadsWrites57mmAndReadsAgain) {
  Click("Button23");
  EXPECT_EQ(Frames(), (std::vector<Bytes>{{0x1F, 0x07, 0x08}, {0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08}}));
  EXPECT_FALSE(Window().Checked("RadioButton57mm")) << "no control changes";
}

}  // namespace
}  // namespace zelka::testing
