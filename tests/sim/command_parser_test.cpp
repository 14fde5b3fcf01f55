#include "sim/command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelka::sim {
namespace {

using Mode = CommandParser::Mode;
using Names = std::vector<std::string>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Repeat(std::uint8_t byte, std::size_t n) { return Bytes(n, byte); }

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A bitmap file as the logo command carries it: "BM", its size, then filler. The filler
// is made of bytes that would start commands, so a frame that ends too early shows.
Bytes BitmapFile(std::uint32_t declaredSize, std::size_t actualSize) {
  Bytes file{'B', 'M', static_cast<std::uint8_t>(declaredSize), static_cast<std::uint8_t>(declaredSize >> 8),
             static_cast<std::uint8_t>(declaredSize >> 16), static_cast<std::uint8_t>(declaredSize >> 24)};
  for (std::size_t i = file.size(); i < actualSize; ++i) file.push_back(i % 2 ? 0x0A : 0x1B);
  return file;
}

Bytes Block(std::uint8_t fill) {
  Bytes block{0x02};
  for (std::size_t i = 0; i < CommandParser::kBlockDataBytes; ++i) block.push_back(i % 3 ? fill : 0x04);
  block.push_back(0x00);  // the sum is the bootloader's business, not the framing's
  return block;
}

Names NamesOf(const std::vector<ParsedCommand>& commands) {
  Names names;
  for (const auto& c : commands) names.push_back(c.name);
  return names;
}

// Argument bytes are 0x0A (LF) or 0x1B (ESC) on purpose: a frame measured one byte short
// leaves an LF or ESC behind and changes the names that follow.
struct NamesCase {
  const char* what;
  Mode mode;
  Bytes stream;
  Names names;
};

const std::vector<NamesCase> kNameCases = {
    {"info text query takes its number, info byte query does not", Mode::Normal,
     {0x1D, 0x49, 0x40, 0x0A, 0x1D, 0x49, 0x34, 0x0A}, {"GS I @", "GS I", "LF"}},
    {"GS commands with one argument", Mode::Normal,
     {0x1D, 0x72, 0x0A, 0x1D, 0x21, 0x0A, 0x1D, 0x2F, 0x0A, 0x1D, 0x40, 0x0A},
     {"GS r", "GS !", "GS /", "GS @"}},
    {"GS V takes a second byte only from 65 on", Mode::Normal,
     {0x1D, 0x56, 0x42, 0x0A, 0x1D, 0x56, 0x41, 0x0A, 0x1D, 0x56, 0x40, 0x0A, 0x1D, 0x56, 0x00, 0x0A},
     {"GS V", "GS V", "GS V", "LF", "GS V", "LF"}},
    {"GS ( k length counts the high byte", Mode::Normal,
     Concat({{0x1D, 0x28, 0x6B, 0x2C, 0x01}, Repeat(0x0A, 300), {0x0D}}), {"GS ( k", "CR"}},
    {"GS ( with another function has the same shape", Mode::Normal,
     {0x1D, 0x28, 0x4C, 0x01, 0x00, 0x0A, 0x0D}, {"GS (", "CR"}},
    {"ESC commands with their fixed argument counts", Mode::Normal,
     {0x1B, 0x21, 0x0A, 0x1B, 0x2D, 0x0A, 0x1B, 0x33, 0x0A, 0x1B, 0x42, 0x00, 0x1B, 0x45, 0x0A,
      0x1B, 0x49, 0x0A, 0x1B, 0x52, 0x0A, 0x1B, 0x56, 0x0A, 0x1B, 0x5C, 0x0A, 0x0A, 0x1B, 0x61, 0x0A,
      0x1B, 0x64, 0x0A, 0x1B, 0x69, 0x1B, 0x6D, 0x1B, 0x70, 0x0A, 0x0A, 0x0A, 0x1B, 0x74, 0x0A,
      0x1B, 0x75, 0x0A, 0x1B, 0x76, 0x1B, 0x7B, 0x0A, 0x1B, 0x07},
     {"ESC !", "ESC -", "ESC 3", "ESC B", "ESC E", "ESC I", "ESC R", "ESC V", "ESC \\", "ESC a",
      "ESC d", "ESC i", "ESC m", "ESC p", "ESC t", "ESC u", "ESC v", "ESC {", "ESC BEL"}},
    {"raster row of R bytes, command bytes inside", Mode::Normal,
     {0x1B, 0x2E, 0x00, 0x03, 0x01, 0x00, 0x1B, 0x1D, 0x0A, 0x0A}, {"ESC .", "LF"}},
    {"raster row narrower than one byte", Mode::Normal,
     {0x1B, 0x2E, 0x00, 0x00, 0x01, 0x00, 0x0A}, {"ESC .", "LF"}},
    {"logo ends where the file's size field says", Mode::Normal,
     Concat({{0x1B}, BitmapFile(40, 40), {0x0D}}), {"logo", "CR"}},
    {"logo whose size field is smaller than the field itself", Mode::Normal,
     Concat({{0x1B}, BitmapFile(0, 6), {0x0D}}), {"logo", "CR"}},
    {"US commands", Mode::Normal,
     {0x1F, 0x07, 0x0A, 0x1F, 0x03, 0x0A, 0x0A, 0x1F, 0x02, 0x00, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x1F, 0x74},
     {"US 0x07", "US 0x03", "US 0x02", "US t"}},
    {"text runs end at CR, LF or any control byte", Mode::Normal,
     Concat({Text("Hi there"), {0x0D, 0x0A}, {0x8E, 0xAF, 0xAB}, {0x1B, 0x69}, Text("x"), {0x07}}),
     {"text", "CR", "LF", "text", "ESC i", "text", "unknown"}},
    {"stray control bytes are skipped one at a time", Mode::Normal,
     {0x1C, 0x1B, 0x01, 0x1D, 0x0A, 0x1F, 0x1B, 0x69}, {"unknown", "unknown", "unknown", "unknown", "LF",
                                                        "unknown", "ESC i"}},
    {"ESC with an unknown letter leaves the letter to the text", Mode::Normal,
     {0x1B, 'Z', 'Q', 0x0A}, {"unknown", "text", "LF"}},
    {"0x00 that does not go on as the boot entry", Mode::Normal,
     {0x00, 0x6B, 0x52, 0x0A}, {"unknown", "text", "LF"}},
    {"boot entry switches to the bootloader's framing", Mode::Normal,
     {0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57, 0x07, 0x02, 0x05}, {"boot entry", "BL 07 02", "BL 05"}},
    {"bootloader commands, a block full of command bytes, and back", Mode::Bootloader,
     Concat({{0x07, 0x02, 0x00, 0xFE, 0x05, 0x01}, Block(0x07), Block(0x02), {0x04, 0x1D, 0x72, 0x31}}),
     {"BL 07 02", "BL 00 FE", "BL 05", "BL 01", "BL block", "BL block", "BL 04", "GS r"}},
    {"bootloader skips bytes that start nothing", Mode::Bootloader,
     {0x07, 0x03, 0x00, 0x00, 0xFE, 0x1B, 0x05}, {"BL unknown", "BL unknown", "BL unknown", "BL 00 FE",
                                                  "BL unknown", "BL 05"}},
};

TEST(CommandParser, NamesEveryFrameAndKeepsSync) {
  for (const auto& c : kNameCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(NamesOf(CommandParser::ParseAll(c.stream, c.mode)), c.names);
  }
}

// Every frame of the printer's traffic, each piece one command, in an order that puts
// every kind of frame next to every kind of boundary.
std::vector<ParsedCommand> MixedTraffic() {
  return {
      {"ESC 3", {0x1B, 0x33, 0x69}},
      {"ESC R", {0x1B, 0x52, 0x07}},
      {"ESC t", {0x1B, 0x74, 0x30}},
      {"ESC V", {0x1B, 0x56, 0x00}},
      {"ESC !", {0x1B, 0x21, 0x00}},
      {"ESC B", {0x1B, 0x42, 0x00}},
      {"ESC {", {0x1B, 0x7B, 0x00}},
      {"ESC I", {0x1B, 0x49, 0x00}},
      {"ESC a", {0x1B, 0x61, 0x00}},
      {"text", Text("   Sale TICKET")},
      {"LF", {0x0A}},
      {"ESC E", {0x1B, 0x45, 0x01}},
      {"ESC -", {0x1B, 0x2D, 0x00}},
      {"GS !", {0x1D, 0x21, 0x11}},
      {"text", {0x8F, 0x80, 0x91, 0x88, 0x81, 0x8E}},
      {"CR", {0x0D}},
      {"LF", {0x0A}},
      {"ESC \\", {0x1B, 0x5C, 0xA0, 0x00}},
      {"GS V", {0x1D, 0x56, 0x42, 0x01}},
      {"GS V", {0x1D, 0x56, 0x00}},
      {"GS I @", {0x1D, 0x49, 0x40, 0x27}},
      {"GS I", {0x1D, 0x49, 0x34}},
      {"GS r", {0x1D, 0x72, 0x31}},
      {"ESC u", {0x1B, 0x75, 0x00}},
      {"ESC v", {0x1B, 0x76}},
      {"US 0x07", {0x1F, 0x07, 0x08}},
      {"US 0x03", {0x1F, 0x03, 0x0A, 0x78}},
      {"US 0x02", {0x1F, 0x02, 0x00, 0x06, 0x00, 0x00, 0x03, 0x00}},
      {"US t", {0x1F, 0x74}},
      {"ESC BEL", {0x1B, 0x07}},
      {"ESC m", {0x1B, 0x6D}},
      {"ESC p", {0x1B, 0x70, 0x30, 0x96, 0x96}},
      {"ESC d", {0x1B, 0x64, 0x07}},
      {"ESC i", {0x1B, 0x69}},
      {"GS ( k", {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x06}},
      {"GS ( k", Concat({{0x1D, 0x28, 0x6B, 0x08, 0x00, 0x31, 0x50, 0x30}, Text("QRDAT")})},
      {"ESC .", {0x1B, 0x2E, 0x00, 0x02, 0x01, 0x00, 0x1D, 0x0A}},
      {"logo", Concat({{0x1B}, BitmapFile(30, 30)})},
      {"GS @", {0x1D, 0x40, 0x31}},
      {"GS /", {0x1D, 0x2F, 0x00}},
      {"unknown", {0x1C}},
      {"boot entry", {0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57}},
      {"BL 07 02", {0x07, 0x02}},
      {"BL 00 FE", {0x00, 0xFE}},
      {"BL 05", {0x05}},
      {"BL 01", {0x01}},
      {"BL block", Block(0x1B)},
      {"BL unknown", {0x03}},
      {"BL 04", {0x04}},
      {"GS r", {0x1D, 0x72, 0x32}},
  };
}

Bytes StreamOf(const std::vector<ParsedCommand>& commands) {
  Bytes stream;
  for (const auto& c : commands) stream.insert(stream.end(), c.bytes.begin(), c.bytes.end());
  return stream;
}

std::vector<ParsedCommand> ParseInChunks(const Bytes& stream, const std::vector<std::size_t>& cuts) {
  CommandParser parser;
  std::vector<ParsedCommand> out;
  std::size_t from = 0;
  auto feed = [&](std::size_t to) {
    parser.Feed(std::span(stream).subspan(from, to - from));
    while (auto c = parser.Next()) out.push_back(std::move(*c));
    from = to;
  };
  for (std::size_t cut : cuts) feed(cut);
  feed(stream.size());
  return out;
}

TEST(CommandParser, SameCommandsHoweverTheStreamIsSplit) {
  const auto expected = MixedTraffic();
  const Bytes stream = StreamOf(expected);
  ASSERT_EQ(CommandParser::ParseAll(stream), expected);
  for (std::size_t cut = 1; cut < stream.size(); ++cut) {
    ASSERT_EQ(ParseInChunks(stream, {cut}), expected) << "split at byte " << cut;
  }
  std::vector<std::size_t> everyByte;
  for (std::size_t i = 1; i < stream.size(); ++i) everyByte.push_back(i);
  EXPECT_EQ(ParseInChunks(stream, everyByte), expected);
}

TEST(CommandParser, HoldsAnUnfinishedFrameUntilItsLastByte) {
  CommandParser parser;
  const Bytes frame{0x1D, 0x28, 0x6B, 0x04, 0x00, 0x31, 0x50, 0x30, 0x41};
  parser.Feed(std::span(frame).first(frame.size() - 1));
  EXPECT_FALSE(parser.Next());
  EXPECT_EQ(parser.Pending(), frame.size() - 1);
  parser.Feed(std::span(frame).last(1));
  const auto command = parser.Next();
  ASSERT_TRUE(command);
  EXPECT_EQ(command->bytes, frame);
  EXPECT_EQ(parser.Pending(), 0u);
}

TEST(CommandParser, TextRunWaitsForItsEndUnlessFlushed) {
  CommandParser parser;
  parser.Feed(Text("Hel"));
  EXPECT_FALSE(parser.Next());
  parser.Feed(Text("lo"));
  EXPECT_FALSE(parser.Next());
  const auto text = parser.FlushText();
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, (ParsedCommand{"text", Text("Hello")}));
  EXPECT_EQ(parser.Pending(), 0u);

  // Only text is flushed: half a command stays for the rest of its bytes.
  parser.Feed(Bytes{0x1D, 0x49});
  EXPECT_FALSE(parser.FlushText());
  EXPECT_EQ(parser.Pending(), 2u);
}

TEST(CommandParser, LogoOfTheLargestFileTheProgramCanSendArrivesWhole) {
  const std::size_t fileBytes = CommandParser::kMaxLogoFileBytes;
  const Bytes stream = Concat({{0x1B}, BitmapFile(static_cast<std::uint32_t>(fileBytes), fileBytes), {0x0A}});
  EXPECT_EQ(NamesOf(ParseInChunks(stream, {4096, 300000, 700000})), (Names{"logo", "LF"}));
}

}  // namespace
}  // namespace zelka::sim
