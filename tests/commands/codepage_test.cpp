// Code page conversions at the program's edges.
#include "commands/codepage.h"

#include <gtest/gtest.h>

namespace zelka::testing {
namespace {

using namespace zelka::commands;

TEST(CodepageTest, Cp866TakesAsciiAndCyrillicAndMarksTheRest) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Sale TICKET N 17434", "Sale TICKET N 17434"},
      {"Шрифт", "\x98\xE0\xA8\xE4\xE2"},
      {"Оплата", "\x8E\xAF\xAB\xA0\xE2\xA0"},
      {"АЯаяпрЁё№", "\x80\x9F\xA0\xEF\xAF\xE0\xF0\xF1\xFC"},
      {"ß and ☺", "? and ?"},
      {std::string("\xFF\xC3", 2), "??"},  // not UTF-8
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(EncodeCp866(in), out) << in;
    if (out.find('?') == std::string::npos) {
      EXPECT_EQ(DecodeCp866(out), in);
    }
  }
}

// Text from outside reaches the printer as text only: no control byte, whatever it holds.
TEST(CodepageTest, Cp866NeverSendsAControlByte) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Order \x1bp0\x01\x7F!", "Order p0!"},
      {"a\r\nb\x0C\x0B", "ab"},
      {std::string("x\0y", 3), "xy"},
      {"\xC0\x9B\xC0\x9D", "????"},              // ESC and GS, overlong
      {"\xE0\x80\x9B\xF0\x80\x80\x9B", "???????"},  // the same, longer
      {"\xED\xA0\x80", "???"},                    // a surrogate
      {"\xF4\x90\x80\x80", "????"},              // past U+10FFFF
      {"\xC2\x9B", "?"},                           // the C1 control CSI
      {"\t|", "        |"},
      {"ab\tc\td", "ab      c       d"},
      {"12345678\t|", "12345678        |"},
      {"—–‐−", "----"},
      {"«»“”„", "\"\"\"\"\""},
      {"‘’…", "''..."},
      {"5 €", "5 EUR"},
      {"№ 5", "\xFC 5"},
      {"\u00A0", "\xFF"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(EncodeCp866(in), out) << in;
}

TEST(CodepageTest, Utf8DecodingTakesTheShortestFormsOnly) {
  EXPECT_EQ(DecodeUtf8("A\u00E9\u20AC\U0001F600"), U"A\u00E9\u20AC\U0001F600");
  EXPECT_EQ(DecodeUtf8("\xC0\x80\xC1\xBF"), std::u32string(4, U'\uFFFD'));
  EXPECT_EQ(DecodeUtf8("\xE2\x82"), std::u32string(2, U'\uFFFD')) << "cut short";
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80", 0), 4u);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x8F\xBF\xBF", 0), 0u);
  EXPECT_EQ(ToSevenBitAscii("\xC0\x9B"), "??");
}

TEST(CodepageTest, Cp1251RepliesAndSevenBitAscii) {
  EXPECT_EQ(DecodeCp1251("\xCF\xF0\xE8\xED\xF2\xE5\xF0 A"), "Принтер A");
  EXPECT_EQ(DecodeCp1251("\xA8\xB8\xB9"), "Ёё№");
  EXPECT_EQ(ToSevenBitAscii("Нет данных"), "??? ??????");
  EXPECT_EQ(ToSevenBitAscii(DecodeCp1251("ZK\x98\xFF")), "ZK??");
  EXPECT_EQ(ToSevenBitAscii("SVE0001EPrinter Zelka  "), "SVE0001EPrinter Zelka  ");
}

}  // namespace
}  // namespace zelka::testing
