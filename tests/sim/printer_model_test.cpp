#include "sim/printer_model.h"

#include <gtest/gtest.h>

#include <string>

namespace zelka::sim {
namespace {

Bytes ReplyTo(PrinterModel& model, PrinterState& state, const Bytes& frame) {
  const auto commands = CommandParser::ParseAll(frame, model.InBootloader() ? CommandParser::Mode::Bootloader
                                                                           : CommandParser::Mode::Normal);
  EXPECT_EQ(commands.size(), 1u) << "one frame expected";
  return commands.empty() ? Bytes{} : model.Apply(commands.front(), state);
}

std::string TextOf(const Bytes& reply, std::size_t from, std::size_t count) {
  std::string text(reply.begin() + static_cast<std::ptrdiff_t>(from),
                   reply.begin() + static_cast<std::ptrdiff_t>(from + count));
  return text.substr(0, text.find('\0'));
}

TEST(DefaultPrinter, RepliesHaveTheLengthsAndTextsTheProgramReads) {
  const PrinterState s = DefaultPrinter();
  struct Case {
    const char* what;
    const Bytes& reply;
    std::size_t length, from, count;
    std::string text;
  };
  const Case cases[] = {
      {"model", s.modelReply, 17, 1, 15, "Printer Zelka"},
      {"serial", s.serialReply, 12, 1, 10, "ZK00012345"},
      {"boot number", s.bootNumberReply, 14, 1, 12, "ZELKA-000001"},
      {"boot version", s.bootVersionReply, 6, 1, 5, "1.05"},
      {"main number", s.mainNumberReply, 14, 1, 12, "ZELKA-000101"},
      {"main version", s.mainVersionReply, 6, 1, 5, "2.10"},
      {"build date", s.buildDateReply, 15, 0, 14, "2026-11-03 12:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.reply.size(), c.length);
    EXPECT_EQ(TextOf(c.reply, c.from, c.count), c.text);
  }
  EXPECT_EQ(s.modelReply[0], 0x5F);
}

TEST(PrinterModel, AnswersTheQueriesItKnowsAndNothingElse) {
  PrinterState s = DefaultPrinter();
  s.paperSensor = 0x01;
  s.drawerStatus = 0x00;
  s.escUReply = 0xFF;
  s.escVReply = 0x12;
  s.logoState = 0x03;
  struct Case {
    Bytes frame;
    Bytes reply;
  };
  const Case cases[] = {
      {{0x1D, 0x49, 0x40, 0x27}, s.modelReply},
      {{0x1D, 0x49, 0x40, 0x23}, s.serialReply},
      {{0x1D, 0x49, 0x40, 0x2B}, s.bootNumberReply},
      {{0x1D, 0x49, 0x40, 0x97}, s.bootVersionReply},
      {{0x1D, 0x49, 0x40, 0x33}, s.mainNumberReply},
      {{0x1D, 0x49, 0x40, 0xA3}, s.mainVersionReply},
      {{0x1D, 0x49, 0x40, 0x63}, s.buildDateReply},
      {{0x1D, 0x49, 0x40, 0x24}, {}},
      {{0x1D, 0x49, 0x34}, {0x03}},
      {{0x1D, 0x49, 0x35}, {}},
      {{0x1D, 0x72, 0x31}, {0x01}},
      {{0x1D, 0x72, 0x01}, {0x01}},
      {{0x1D, 0x72, 0x32}, {0x00}},
      {{0x1D, 0x72, 0x33}, {}},
      {{0x1B, 0x75, 0x00}, {0xFF}},
      {{0x1B, 0x76}, {0x12}},
      {{0x1F, 0x07, 0x08}, {0x00}},
      {{0x1F, 0x07, 0x0A}, {120}},
      {{0x1F, 0x07, 0x41}, {60}},
      {{0x1F, 0x07, 0x09}, {}},
      {{0x1B, 0x70, 0x30, 0x96, 0x96}, {}},
      {{0x1D, 0x2F, 0x00}, {}},
      {{0x1B, 0x64, 0x07}, {}},
      {{0x0A}, {}},
      {{0x1F, 0x74}, {}},
  };
  PrinterModel model;
  for (const auto& c : cases) {
    PrinterState state = s;
    EXPECT_EQ(ReplyTo(model, state, c.frame), c.reply) << "frame starting " << int(c.frame[0]) << " "
                                                       << int(c.frame[1]);
  }
}

TEST(PrinterModel, StoresParametersAndLogoState) {
  PrinterModel model;
  PrinterState s = DefaultPrinter();
  s.paramWriteReply = 0x55;
  EXPECT_EQ(ReplyTo(model, s, {0x1F, 0x03, 0x0A, 0x96}), Bytes{0x55});
  EXPECT_EQ(ReplyTo(model, s, {0x1F, 0x07, 0x0A}), Bytes{0x96});
  EXPECT_EQ(ReplyTo(model, s, {0x1F, 0x03, 0x30, 0x01}), Bytes{0x55});  // a new parameter
  EXPECT_EQ(ReplyTo(model, s, {0x1F, 0x07, 0x30}), Bytes{0x01});

  s.logoState = 0x80;
  ReplyTo(model, s, {0x1B, 'B', 'M', 6, 0, 0, 0});
  EXPECT_EQ(s.logoState, 0x81);
  ReplyTo(model, s, {0x1D, 0x40, 0x30});  // not the erase function
  EXPECT_EQ(s.logoState, 0x81);
  ReplyTo(model, s, {0x1D, 0x40, 0x31});
  EXPECT_EQ(s.logoState, 0x80);  // only the logo bit is the logo's
}

TEST(PrinterModel, BaudCodesSelectTheirRates) {
  const std::pair<std::uint8_t, int> cases[] = {{0x03, 9600}, {0x04, 19200}, {0x06, 57600}, {0x07, 115200},
                                                {0x05, 115200} /* unknown: unchanged */};
  PrinterModel model;
  PrinterState s = DefaultPrinter();
  for (const auto& [code, baud] : cases) {
    EXPECT_TRUE(ReplyTo(model, s, {0x1F, 0x02, 0x00, code, 0x00, 0x00, 0x03, 0x00}).empty());
    EXPECT_EQ(s.baud, baud) << "code " << int(code);
    EXPECT_EQ(model.ListeningBaud(s), baud);
  }
}

}  // namespace
}  // namespace zelka::sim
