// What a script brings to print: a QR code of its own text, a prepared job sent byte for
// byte, and the feed and cut after them.
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "cli/cli_fixture.h"

namespace zelka::testing {
namespace {

const Bytes kModuleSize{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x06};
const Bytes kErrorCorrection{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45, 0x30};
const Bytes kPrint{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30};
const Bytes kFeedSeven{0x1B, 0x64, 0x07};
const Bytes kCut{0x1B, 0x69};

class ScriptJobsTest : public CliFixture {
 protected:
  Frames Logged(std::size_t expected) { return LoggedFrames(expected); }
  static Bytes StoreFrame(const std::string& payload) {
    const std::size_t counted = payload.size() + 3;
    Bytes frame{0x1D, 0x28, 0x6B, static_cast<std::uint8_t>(counted & 0xFF), static_cast<std::uint8_t>(counted >> 8),
                0x31, 0x50, 0x30};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
  }
  QTemporaryDir dir;
};

// The whole payload goes into the store frame, its length in pL and pH; past the
// command's limit it is refused before anything is sent.
TEST_F(ScriptJobsTest, QrCodeOfAnyPayloadUpToTheLimit) {
  const std::string receiptLink =
      "https://check.example/?t=20261103T1530&s=1234.00&fn=9960440300112233&i=12345&fp=1234567890&n=1";
  const struct {
    std::string payload;
    bool cut;
  } cases[] = {
      {receiptLink, false},
      {"Заказ №42 — готов", true},  // UTF-8 as it is, also the characters code page 866 lacks
      {std::string(7089, '7'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.payload.size());
    sim.ClearLog();
    QStringList arguments{"print", "qr", QString::fromStdString(c.payload)};
    if (c.cut) arguments << "--cut";
    const CliRun run = OnPrinter(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    Frames expected = {{"GS ( k", kModuleSize}, {"GS ( k", kErrorCorrection},
                       {"GS ( k", StoreFrame(c.payload)}, {"GS ( k", kPrint}};
    if (c.cut) expected.insert(expected.end(), {{"ESC d", kFeedSeven}, {"ESC i", kCut}});
    EXPECT_EQ(Logged(expected.size()), expected);
  }
  EXPECT_EQ(StoreFrame(std::string(7089, '7'))[3], 0xB4);
  EXPECT_EQ(StoreFrame(std::string(7089, '7'))[4], 0x1B) << "7092 = 0x1BB4";

  sim.ClearLog();
  for (const std::string& refused : {std::string(7090, '7'), std::string()}) {
    const CliRun run = OnPrinter({"print", "qr", QString::fromStdString(refused)});
    EXPECT_EQ(run.exitCode, 2) << run.Err();
  }
  EXPECT_NE(OnPrinter({"print", "qr", QString(7090, '7')}).Err().find("has 7090 bytes; a symbol holds at most 7089"),
            std::string::npos);
  EXPECT_TRUE(sim.Log().empty());
}

// The window's sample keeps its frames; text and cut get their feed and cut with --cut.
TEST_F(ScriptJobsTest, CutAfterTextAndCutWithoutTheSampleLines) {
  const CliRun sample = OnPrinter({"print", "qr", "--cut"});
  EXPECT_EQ(sample.exitCode, 0) << sample.Err();
  EXPECT_EQ(sim.CommandNames().size(), 6u) << "the sample feeds and cuts once, as the window's button";

  sim.ClearLog();
  const CliRun text = OnPrinter({"print", "text", "--cut"}, {.input = "Order 42 ready\n"});
  EXPECT_EQ(text.exitCode, 0) << text.Err();
  const Frames printed = Logged(6);
  ASSERT_EQ(printed.size(), 6u);
  EXPECT_EQ(printed[4], (std::pair<std::string, Bytes>{"ESC d", kFeedSeven}));
  EXPECT_EQ(printed[5], (std::pair<std::string, Bytes>{"ESC i", kCut}));

  sim.ClearLog();
  const CliRun only = OnPrinter({"cut", "--only"});
  EXPECT_EQ(only.exitCode, 0) << only.Err();
  EXPECT_EQ(Logged(2), (Frames{{"ESC d", kFeedSeven}, {"ESC m", {0x1B, 0x6D}}}));
  EXPECT_EQ(OnPrinter({"feed", "--cut"}).exitCode, 2) << "--cut belongs to print text and print qr";
}

// A prepared job reaches the printer byte for byte, commands included, from a file or
// standard input; a job over the limit, or empty, is refused before anything is sent.
TEST_F(ScriptJobsTest, RawJobGoesOutByteForByte) {
  // 290 lines of 31 bytes: three writes of at most 4096 bytes.
  Bytes job;
  for (int line = 0; line < 290; ++line) {
    char text[32];
    std::snprintf(text, sizeof text, "Line %04d of a prepared job...\n", line);
    job.insert(job.end(), text, text + 31);
  }
  const QString path = dir.filePath("job.bin");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(job.data()), static_cast<qsizetype>(job.size()));
  file.close();

  CliRun run = OnPrinter({"print", "raw", path, "--trace"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_NE(run.Out().find("Sent 8990 bytes"), std::string::npos) << run.Out();
  Bytes received;
  // The simulator parses what comes in; its log, put together again, is the job.
  for (int wait = 0; wait < 100 && received.size() < job.size(); ++wait) {
    sim.WaitForCommands(sim.Log().size() + 1, std::chrono::milliseconds(50));
    received.clear();
    for (const sim::LogEntry& entry : sim.Log()) received.insert(received.end(), entry.bytes.begin(), entry.bytes.end());
  }
  EXPECT_EQ(received, job);
  // Three writes of at most 4096 bytes, each in the trace.
  std::size_t sends = 0;
  for (std::size_t at = run.Err().find(" send "); at != std::string::npos; at = run.Err().find(" send ", at + 1)) ++sends;
  EXPECT_EQ(sends, 3u) << run.Err().substr(0, 300);

  sim.ClearLog();
  run = OnPrinter({"print", "raw", "-"}, {.input = QByteArray("\x1B@Hello\n\x1D" "V\x00", 11)});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  ASSERT_TRUE(sim.WaitForCommands(3, std::chrono::seconds(5)));

  sim.ClearLog();
  const struct {
    QStringList arguments;
    QByteArray input;
    const char* reason;
  } refused[] = {
      {{"print", "raw", "-"}, QByteArray(1024 * 1024 + 1, 'x'), "standard input has more than the 1048576 bytes"},
      {{"print", "raw", "-"}, QByteArray(), "the job is empty"},
      {{"print", "raw", dir.filePath("missing.bin")}, QByteArray(), "no such file"},
      {{"print", "raw", dir.path()}, QByteArray(), "not a regular file"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.reason);
    const CliRun r = OnPrinter(c.arguments, {.input = c.input});
    EXPECT_EQ(r.exitCode, 7) << r.Err();
    EXPECT_NE(r.Err().find(c.reason), std::string::npos) << r.Err();
  }
  EXPECT_TRUE(sim.Log().empty());
}

}  // namespace
}  // namespace zelka::testing
