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
      {"€ and ß", "? and ?"},
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

TEST(CodepageTest, Cp1251RepliesAndSevenBitAscii) {
  EXPECT_EQ(DecodeCp1251("\xCF\xF0\xE8\xED\xF2\xE5\xF0 A"), "Принтер A");
  EXPECT_EQ(DecodeCp1251("\xA8\xB8\xB9"), "Ёё№");
  EXPECT_EQ(ToSevenBitAscii("Нет данных"), "??? ??????");
  EXPECT_EQ(ToSevenBitAscii(DecodeCp1251("ZK\x98\xFF")), "ZK??");
  EXPECT_EQ(ToSevenBitAscii("SVE0001EPrinter Zelka  "), "SVE0001EPrinter Zelka  ");
}

}  // namespace
}  // namespace zelka::testing
