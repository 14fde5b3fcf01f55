// Text from outside the program (a customer's order in a file or a pipe, a printer's
// reply) never becomes a command: not for the printer, not for the terminal. And text is
// printed as it is read, so that neither a huge input nor a printer that goes away ends
// in a crash or a false report of success.
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <future>

#include "cli/cli_fixture.h"
#include "commands/codepage.h"

namespace zelka::testing {
namespace {

using namespace std::chrono_literals;

class UntrustedTextTest : public CliFixture {
 protected:
  // The text frames the printer got, in order.
  std::vector<Bytes> TextSent() const {
    std::vector<Bytes> texts;
    for (const sim::LogEntry& entry : sim.Log()) {
      if (entry.name == "text") texts.push_back(entry.bytes);
    }
    return texts;
  }
  QTemporaryDir dir;
};

Bytes Cp866(const std::string& utf8) {
  const std::string encoded = commands::EncodeCp866(utf8);
  return Bytes(encoded.begin(), encoded.end());
}

TEST_F(UntrustedTextTest, PrintedTextCarriesNoPrinterCommands) {
  const QByteArray input =
      "Order \x1bp0\x96\x96 ready\n"              // ESC p: the drawer kick
      "\xC0\x9B" "p0 \xC0\x9D" "V\x01\n"          // ESC and GS in overlong UTF-8
      "\xE0\x80\x9B \xED\xA0\x80 \xF4\x90\x80\x80\n"  // overlong, surrogate, past U+10FFFF
      "bell\x07 del\x7F nul" + QByteArray(1, '\0') + "x\x1D\x56" + QByteArray(1, '\0') + "\r\n"
      "a\tb\tcd\t!\n"
      "«Ёлка» — 5 € – “да”, № 7\n";
  const CliRun run = OnPrinter({"print", "text"}, {.input = input});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_NE(run.Out().find("Printed 6 lines"), std::string::npos) << run.Out();
  ASSERT_TRUE(sim.WaitForCommands(1 + 6 * 3, 5s));
  EXPECT_EQ(TextSent(), (std::vector<Bytes>{
                            Cp866("Order p0?? ready"),
                            Cp866("??p0 ??V"),
                            Cp866("??? ??? ????"),
                            Cp866("bell del nulxV"),
                            Cp866("a       b       cd      !"),
                            Cp866("\"Ёлка\" - 5 EUR - \"да\", № 7"),
                        }));
  for (const sim::LogEntry& entry : sim.Log()) {
    EXPECT_TRUE(entry.name == "GS I @" || entry.name == "text" || entry.name == "CR" || entry.name == "LF")
        << entry.name;
  }
  EXPECT_EQ(Cp866("№"), Bytes{0xFC}) << "code page 866 has it";
}

TEST_F(UntrustedTextTest, OneLineIsOneLine) {
  const CliRun run = OnPrinter({"print", "text"}, {.input = "only\n"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_NE(run.Out().find("Printed 1 line of at most 57 characters"), std::string::npos) << run.Out();
}

// A printer whose reply would repaint the terminal shows as text; JSON escapes it anyway.
TEST_F(UntrustedTextTest, PrinterRepliesReachTheTerminalWithoutControlBytes) {
  sim.Update([](sim::PrinterState& s) {
    s.modelReply = sim::MakeTextReply("Zk\x1b[2J\x07", 17);
    s.serialReply = sim::MakeRawTextReply("\x1b]0;x\x07", 12);
  });
  const CliRun text = OnPrinter({"info"});
  EXPECT_EQ(text.exitCode, 0) << text.Err();
  for (char c : text.out) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 || c == '\n') << "byte " << int{byte};
  }
  EXPECT_NE(text.Out().find("Model:           Zk?[2J?"), std::string::npos) << text.Out();

  const CliRun json = OnPrinter({"info", "--json"});
  EXPECT_TRUE(JsonOf(json)["model"].toString().startsWith(QStringLiteral("Zk\x1b[2J\x07")));
}

// The lines are written as they are read: a write that fails ends the command with exit
// 1 and how many lines went out, never with a report of success.
TEST_F(UntrustedTextTest, APrinterThatGoesAwayMidwayFailsTheCommand) {
  QByteArray input;
  for (int i = 0; i < 200000; ++i) input += "line " + QByteArray::number(i) + "\n";
  // At the line's own pace the 2.6 MB would take minutes: the printer is gone long before.
  sim.SetLineSpeedReading(true);
  auto running = std::async(std::launch::async, [&] { return OnPrinter({"print", "text"}, {.input = input}); });
  ASSERT_TRUE(sim.WaitForCommands(30, 30s));
  sim.Stop();
  const CliRun run = running.get();
  EXPECT_EQ(run.exitCode, 1) << run.Err();
  EXPECT_EQ(run.Out(), "");
  EXPECT_NE(run.Err().find("could not be sent whole to the printer on " + sim.PortName()), std::string::npos)
      << run.Err();
  EXPECT_NE(run.Err().find("lines went out"), std::string::npos) << run.Err();
  EXPECT_EQ(run.Err().find("Printed"), std::string::npos);
}

// Nothing is read whole: a file of a terabyte (sparse, no line end) is refused after its
// first 64 KiB, with nothing printed, instead of ending in a failed allocation.
TEST_F(UntrustedTextTest, InputWithoutLineEndsIsRefusedNotHeld) {
  const QString huge = dir.filePath("huge.txt");
  {
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    if (!file.resize(qint64{1} << 40)) GTEST_SKIP() << "no sparse file of 1 TB here";
  }
  const CliRun run = OnPrinter({"print", "text", huge, "--json"});
  EXPECT_FALSE(run.crashed);
  EXPECT_EQ(run.exitCode, 7) << run.Err();
  EXPECT_NE(run.Err().find("line 1 is longer than 65536 bytes"), std::string::npos) << run.Err();
  EXPECT_NE(run.Err().find("(0 lines went out)"), std::string::npos) << run.Err();
  EXPECT_EQ(JsonOf(run)["code"].toInt(), 7);
  EXPECT_TRUE(TextSent().empty());

  // The same from a pipe, after lines that did print.
  sim.ClearLog();
  const CliRun piped = OnPrinter({"print", "text"}, {.input = "first\n" + QByteArray(200000, 'x')});
  EXPECT_EQ(piped.exitCode, 7) << piped.Err();
  EXPECT_NE(piped.Err().find("standard input: line 2 is longer"), std::string::npos) << piped.Err();
  EXPECT_NE(piped.Err().find("(1 line went out)"), std::string::npos) << piped.Err();
  EXPECT_EQ(TextSent(), std::vector<Bytes>{Cp866("first")});
}

}  // namespace
}  // namespace zelka::testing
