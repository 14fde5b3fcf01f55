// The client's lines cut from the byte stream, and which of them are HTTP.
#include "remote/line_protocol.h"

#include <gtest/gtest.h>

#include "discovery/identity_words.h"
#include "remote/line_reader.h"
#include "remote/records.h"

namespace zelka::remote {
namespace {

// Every line and the final state, after feeding `chunks` one after another.
std::vector<std::string> LinesOf(const std::vector<std::string>& chunks, LineReader::Result& last) {
  LineReader reader;
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& chunk : chunks) {
    reader.Feed(chunk);
    while ((last = reader.Next(line)) == LineReader::Result::Line) lines.push_back(line);
    if (last == LineReader::Result::TooLong) break;
  }
  return lines;
}

TEST(LineReaderTest, LinesComeOutWholeHoweverTheStreamIsCut) {
  const std::string stream =
      "SVEC004\r\nSVEC000\n\n\r\nA\rB\n" + std::string(kMaxLineBytes, 'x') + "\nlast";
  const std::vector<std::string> expected = {"SVEC004", "SVEC000", "",
                                             "",        "A\rB",    std::string(kMaxLineBytes, 'x')};
  for (std::size_t size :
       {stream.size(), std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{4096}}) {
    SCOPED_TRACE(size);
    std::vector<std::string> chunks;
    for (std::size_t at = 0; at < stream.size(); at += size)
      chunks.push_back(stream.substr(at, size));
    LineReader::Result last;
    EXPECT_EQ(LinesOf(chunks, last), expected);
    EXPECT_EQ(last, LineReader::Result::NeedMore) << "\"last\" waits for its LF";
  }
}

TEST(LineReaderTest, ALineLongerThanTheLimitIsReportedWithoutWaitingForItsLf) {
  struct Case {
    std::vector<std::string> chunks;
    std::size_t lines;
    LineReader::Result last;
  };
  const std::string limit(kMaxLineBytes, 'y');
  const std::vector<Case> cases = {
      {{limit + "\n"}, 1, LineReader::Result::NeedMore},
      // The CR before the LF is taken off and not counted, as with any shorter line.
      {{limit + "\r\n"}, 1, LineReader::Result::NeedMore},
      {{limit + "\r", "\n"}, 1, LineReader::Result::NeedMore},
      {{limit + "y\r\n"}, 0, LineReader::Result::TooLong},
      {{limit + "\ry"}, 0, LineReader::Result::TooLong},
      {{"ok\n" + limit, "z"}, 1, LineReader::Result::TooLong},
      {{limit}, 0, LineReader::Result::NeedMore},
      {{std::string(10 * kMaxLineBytes, 'y')}, 0, LineReader::Result::TooLong},
  };
  for (const Case& c : cases) {
    LineReader::Result last;
    EXPECT_EQ(LinesOf(c.chunks, last).size(), c.lines);
    EXPECT_EQ(last, c.last);
  }
}

TEST(LineReaderTest, AFloodOfEmptyLinesKeepsTheBufferSmall) {
  LineReader reader;
  std::string line;
  std::size_t lines = 0;
  for (int chunk = 0; chunk < 8; ++chunk) {
    reader.Feed(std::string(64 * 1024, '\n'));
    while (reader.Next(line) == LineReader::Result::Line) ++lines;
    EXPECT_EQ(reader.Pending(), 0u);
  }
  EXPECT_EQ(lines, 8u * 64 * 1024);
}

TEST(LineProtocolTest, HttpIsRecognisedByItsRequestLineOrItsHostHeader) {
  struct Case {
    const char* line;
    bool first, http;
  };
  const Case cases[] = {
      {"GET / HTTP/1.1", true, true},
      {"POST /x HTTP/1.1", true, true},
      {"OPTIONS * HTTP/1.1", true, true},
      {"CONNECT a:1 HTTP/1.1", true, true},
      {"GET / HTTP/1.1", false, false},
      {"GETSVEC000", true, false},
      {"get / HTTP/1.1", true, false},
      {"Host: a", false, true},
      {"HOST:a", true, true},
      {"hOsT:", false, true},
      {"Hostname: a", true, false},
      {" Host: a", false, false},
      {"SVEC000", true, false},
      {"", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LooksLikeHttp(c.line, c.first), c.http) << c.line << (c.first ? " (first)" : "");
  }
}

TEST(LineProtocolTest, WrittenLinesAreSevenBitAsciiEndingInCrLf) {
  EXPECT_EQ(EncodeWrittenLine("SVE0001DНет данных"), "SVE0001D??? ??????\r\n");
  EXPECT_EQ(EncodeWrittenLine(""), "\r\n");
  EXPECT_EQ(EncodeWrittenLine("\x7F\xC3"), "\x7F?\r\n") << "a broken UTF-8 byte is one character";
}

TEST(RecordsTest, ValuesKeepToTheirOwnLine) {
  using discovery::Step;
  discovery::Identity id;
  id.model = "Zelka\r\nSVE0009Eforged";
  id.serialNumber = std::string("a\0b\x1F\x7F", 5);
  id.mainFirmwareVersion = "\xD0\x9A 1.0";  // UTF-8 "К": left to the line's encoding
  id.paperPresent = false;
  struct Case {
    Step step;
    std::optional<std::string> record;
  };
  const Case cases[] = {
      {Step::kModel, "SVE0001EZelka??SVE0009Eforged"},
      {Step::kSerialNumber, std::string("SVE0002Ea?b?\x7F")},
      {Step::kBootFirmwareNumber, std::string("SVE0003D") + discovery::kNoData},
      {Step::kMainFirmwareVersion, "SVE0006E\xD0\x9A 1.0"},
      {Step::kPaper, std::string("SVE0007E") + discovery::kPaperAbsent},
      {Step::kBuildDate, std::string("SVE0010D") + discovery::kNoData},
      {Step::kModelSettings, std::nullopt},
      {Step::kPaperWidth, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IdentityRecord(c.step, id), c.record) << static_cast<int>(c.step);
  }
  const std::string wire = EncodeWrittenLine(*IdentityRecord(Step::kModel, id));
  EXPECT_EQ(wire, "SVE0001EZelka??SVE0009Eforged\r\n");
  EXPECT_EQ(wire.find('\n'), wire.size() - 1) << "one line, however the value reads";
}

}  // namespace
}  // namespace zelka::remote
