// The parser on its own: what is accepted, what is a usage error, and where values land.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "cli/exit_code.h"
#include "cli/help_text.h"

namespace zelka::cli {
namespace {

using Kind = ParseOutcome::Kind;

ParseOutcome Parse(std::vector<const char*> words, std::optional<std::string> env = std::nullopt) {
  QStringList arguments{QStringLiteral("zelka")};
  for (const char* word : words) arguments << QString::fromUtf8(word);
  return ParseArguments(arguments, env);
}

TEST(CliArguments, UsageErrorsNameWhatIsWrong) {
  struct Case {
    std::vector<const char*> words;
    const char* error;  // a part of the message
  };
  const Case cases[] = {
      {{}, "no command"},
      {{"frobnicate"}, "unknown command \"frobnicate\""},
      {{"set"}, "needs a subcommand"},
      {{"set", "colour", "1"}, "unknown command \"set colour\""},
      {{"feed", "--frob"}, "Unknown option 'frob'"},
      {{"feed", "extra"}, "unexpected argument \"extra\""},
      {{"set", "density"}, "needs N"},
      {{"set", "density", "500"}, "20..100"},
      {{"set", "density", "19"}, "20..100"},
      {{"set", "density", "5x"}, "20..100"},
      {{"set", "density", "-5"}, "Unknown option '5'"},
      {{"set", "cut-line", "51"}, "0..50"},
      {{"set", "baud", "38400"}, "9600, 19200, 57600 or 115200"},
      {{"set", "codepage", "1251"}, "866"},
      {{"set", "paper-width", "58"}, "80 or 57"},
      {{"print", "test", "--paper", "60"}, "80, 57 or 57-on-80"},
      {{"print", "qr", "--paper", "57"}, "--paper does not go with \"print qr\""},
      {{"feed", "--tcp-port", "1"}, "does not go with"},
      {{"serve", "--tcp-port", "70000"}, "0..65535"},
      {{"serve", "--listen", "localhost"}, "IP address"},
      {{"print", "picture"}, "needs FILE"},
      {{"logo", "load", "a.bmp", "b.bmp"}, "unexpected argument \"b.bmp\""},
      {{"feed", "-b", "57600"}, "exactly one --port"},
      {{"feed", "-b", "57600", "-p", "a", "-p", "b"}, "exactly one --port"},
      {{"feed", "-b", "12345", "-p", "a"}, "--baud must be"},
      {{"feed", "-b", "9600", "-b", "57600", "-p", "a"}, "more than once"},
      {{"print", "picture", "a.png", "--threshold", "256"}, "0..255"},
      {{"print", "picture", "a.png", "--paper", "57-on-80"}, "80 or 57"},
      {{"print", "test", "--threshold", "100"}, "does not go with"},
      {{"logo", "erase", "--preview", "x.png"}, "does not go with"},
      {{"serve", "--max-clients", "0"}, "1..100000"},
      {{"serve", "--allow", "localhost"}, "ADDRESS/PREFIX"},
      // Octal, short and blank-ridden forms mean other hosts to other readers.
      {{"serve", "--allow", "127.000.000.010"}, "without leading zeros"},
      {{"serve", "--allow", "1.2.3"}, "ADDRESS/PREFIX"},
      {{"serve", "--allow", "/8"}, "ADDRESS/PREFIX"},
      {{"serve", "--allow", "127.0.0.1/ 8"}, "ADDRESS/PREFIX"},
      {{"serve", "--listen", "127.000.000.010"}, "without leading zeros"},
      {{"serve", "--listen", "1.2.3"}, "IP address"},
      {{"firmware", "recover", "fw.bin"}, "needs --board 3 or --board 4"},
      {{"firmware", "recover", "fw.bin", "--board", "5"}, "--board must be 3 or 4"},
      {{"firmware", "recover", "fw.bin", "--board", "3", "-p", "a", "-b", "57600"}, "57600 baud only"},
      {{"firmware", "update", "fw.bin", "--board", "3"}, "does not go with"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const char* w : c.words) joined += std::string(w) + " ";
    SCOPED_TRACE(joined);
    const ParseOutcome outcome = Parse(c.words);
    EXPECT_EQ(outcome.kind, Kind::kUsageError);
    EXPECT_NE(outcome.error.find(c.error), std::string::npos) << outcome.error;
  }
}

TEST(CliArguments, GlobalOptionsGoBeforeOrAfterTheCommand) {
  for (const auto& words : std::vector<std::vector<const char*>>{
           {"-p", "/dev/a", "--json", "-b", "9600", "set", "density", "55"},
           {"set", "density", "55", "--port", "/dev/a", "--baud", "9600", "--json"},
           {"set", "--json", "density", "-p", "/dev/a", "55", "-b", "9600"}}) {
    const ParseOutcome outcome = Parse(words);
    ASSERT_EQ(outcome.kind, Kind::kRun) << outcome.error;
    const Invocation& run = outcome.invocation;
    EXPECT_EQ(run.command->id, CommandId::kSetDensity);
    EXPECT_EQ(run.number, 55);
    EXPECT_EQ(run.global.ports, std::vector<std::string>{"/dev/a"});
    EXPECT_EQ(run.global.baud, 9600);
    EXPECT_TRUE(run.global.json);
  }
}

TEST(CliArguments, PortsKeepTheirOrderAndTheEnvironmentOnlyStandsIn) {
  auto outcome = Parse({"detect", "-p", "b", "-p", "a"}, "env");
  EXPECT_EQ(outcome.invocation.global.ports, (std::vector<std::string>{"b", "a"}));
  outcome = Parse({"detect"}, "env");
  EXPECT_EQ(outcome.invocation.global.ports, std::vector<std::string>{"env"});
  outcome = Parse({"feed", "-b", "19200"}, "env");
  ASSERT_EQ(outcome.kind, Kind::kRun) << outcome.error;
  EXPECT_EQ(outcome.invocation.global.baud, 19200);
  EXPECT_TRUE(Parse({"detect"}).invocation.global.ports.empty());
}

TEST(CliArguments, CommandValuesLandChecked) {
  auto outcome = Parse({"print", "test", "--paper", "57-on-80"});
  ASSERT_EQ(outcome.kind, Kind::kRun);
  EXPECT_EQ(outcome.invocation.layout, service::ReceiptLayout::k57mmOn80mm);
  EXPECT_EQ(Parse({"print", "test"}).invocation.layout, service::ReceiptLayout::k80mm);
  outcome = Parse({"serve", "--tcp-port", "0", "--listen", "127.0.0.1", "--listen", "::1"});
  ASSERT_EQ(outcome.kind, Kind::kRun) << outcome.error;
  EXPECT_EQ(outcome.invocation.tcpPort, 0);
  EXPECT_EQ(outcome.invocation.listen, (std::vector<std::string>{"127.0.0.1", "::1"}));
  EXPECT_EQ(Parse({"set", "cut-line", "0"}).invocation.number, 0);
  EXPECT_EQ(Parse({"set", "baud", "115200"}).invocation.number, 115200);
  EXPECT_EQ(Parse({"set", "paper-width", "57"}).invocation.number, 57);
  outcome = Parse({"print", "text"});
  ASSERT_EQ(outcome.kind, Kind::kRun);
  EXPECT_TRUE(outcome.invocation.arguments.empty());
  EXPECT_EQ(Parse({"firmware", "recover", "fw.bin", "--board", "4"}).invocation.board, 4);
}

TEST(CliArguments, HelpAndVersion) {
  EXPECT_EQ(Parse({"--version"}).kind, Kind::kVersion);
  EXPECT_EQ(Parse({"--help"}).kind, Kind::kHelp);
  auto outcome = Parse({"set", "density", "--help"});
  EXPECT_EQ(outcome.kind, Kind::kHelp);
  EXPECT_EQ(outcome.helpTopic, "set density");
  outcome = Parse({"help", "logo"});
  EXPECT_EQ(outcome.kind, Kind::kHelp);
  EXPECT_EQ(outcome.helpTopic, "logo");
  // Every command's help shows its usage line and the exit codes.
  const std::string text = HelpText("set density");
  EXPECT_NE(text.find("Usage: zelka [options] set density N"), std::string::npos);
  EXPECT_NE(text.find("20..100"), std::string::npos);
  EXPECT_NE(text.find(ExitCodeTable()), std::string::npos);
  EXPECT_NE(HelpText("").find("firmware update FILE"), std::string::npos);
}

TEST(CliArguments, JsonIsKnownEvenWhenTheRestIsWrong) {
  const auto outcome = Parse({"--json", "frob"});
  EXPECT_EQ(outcome.kind, Kind::kUsageError);
  EXPECT_TRUE(outcome.json);
}

}  // namespace
}  // namespace zelka::cli
