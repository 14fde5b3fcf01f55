// The pieces that are pure functions: exit codes from their causes, the progress lines,
// the trace's bytes, the text print's model check.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/exit_code.h"
#include "cli/progress_bar.h"
#include "cli/printer_selection.h"
#include "cli/trace.h"
#include "service/text_print.h"

namespace zelka::cli {
namespace {

using std::chrono::milliseconds;

TEST(CliExitCodes, FromOpenFailuresAndResults) {
  EXPECT_EQ(ExitCodeFor(link::OpenFailure::kPermissionDenied), ExitCode::kPermissionDenied);
  EXPECT_EQ(ExitCodeFor(link::OpenFailure::kBusy), ExitCode::kPortBusy);
  EXPECT_EQ(ExitCodeFor(link::OpenFailure::kAbsent), ExitCode::kPortAbsent);
  EXPECT_EQ(ExitCodeFor(link::OpenFailure::kOther), ExitCode::kFailed);
  const struct {
    printer::Problem problem;
    link::OpenFailure failure;
    int code;
  } cases[] = {
      {printer::Problem::kNone, link::OpenFailure::kNone, 0},
      {printer::Problem::kNoReply, link::OpenFailure::kNone, 1},
      {printer::Problem::kNotSent, link::OpenFailure::kNone, 1},
      {printer::Problem::kNoPrinter, link::OpenFailure::kNone, 3},
      {printer::Problem::kCannotOpen, link::OpenFailure::kPermissionDenied, 4},
      {printer::Problem::kCannotOpen, link::OpenFailure::kBusy, 5},
      {printer::Problem::kCannotOpen, link::OpenFailure::kAbsent, 6},
      {printer::Problem::kCannotOpen, link::OpenFailure::kOther, 1},
  };
  for (const auto& c : cases) {
    printer::Result result;
    result.problem = c.problem;
    result.openFailure = c.failure;
    EXPECT_EQ(ToInt(ExitCodeFor(result)), c.code) << static_cast<int>(c.problem);
  }
}

// Nothing found: the reason of the ports is the exit code only when every port listed
// failed alike; a port that opened (and stayed silent) makes it "no printer".
TEST(CliExitCodes, SearchThatFoundNothing) {
  discovery::SearchResult result;
  result.unopened = {{"a", link::OpenFailure::kPermissionDenied, ""},
                     {"b", link::OpenFailure::kPermissionDenied, ""}};
  EXPECT_EQ(ExplainNotFound(result, {"a", "b"}).code, ExitCode::kPermissionDenied);
  EXPECT_EQ(ExplainNotFound(result, {"a", "b", "c"}).code, ExitCode::kNoPrinter);
  result.unopened[1].reason = link::OpenFailure::kBusy;
  const NotFound mixed = ExplainNotFound(result, {"a", "b"});
  EXPECT_EQ(mixed.code, ExitCode::kNoPrinter);
  EXPECT_NE(mixed.message.find("cannot open b: the port is busy"), std::string::npos) << mixed.message;
  EXPECT_EQ(ExplainNotFound({}, {}).code, ExitCode::kNoPrinter);
}

TEST(CliProgress, BarShowsBlocksRateAndTimeLeft) {
  EXPECT_EQ(BarLine(1368, 2735, milliseconds{61'000}),
            "[###############---------------]  50%  1368/2735 blocks  22.4 blocks/s  1:01 left");
  EXPECT_EQ(BarLine(0, 10, milliseconds{0}), "[------------------------------]   0%  0/10 blocks");
  EXPECT_EQ(BarLine(10, 10, milliseconds{500}),
            "[##############################] 100%  10/10 blocks  20.0 blocks/s  0:00 left");
  EXPECT_EQ(StepLine(274, 2735), "transfer 10% (274/2735 blocks)");
}

// Not a terminal: one line each time another tenth is passed, however many blocks.
TEST(CliProgress, PipedProgressWritesOneLinePerTenth) {
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  {
    ProgressBar bar(err, /*terminal=*/false);
    for (std::size_t sent = 1; sent <= 95; ++sent) bar.Update(sent, 95);
    bar.Finish();
  }
  std::string written;
  std::rewind(err);
  for (int c = std::fgetc(err); c != EOF; c = std::fgetc(err)) written += static_cast<char>(c);
  std::fclose(err);
  std::size_t lines = 0;
  for (char c : written) lines += c == '\n';
  EXPECT_EQ(lines, 10u) << written;
  EXPECT_NE(written.find("zelka: transfer 10% (10/95 blocks)\n"), std::string::npos) << written;
  EXPECT_NE(written.find("zelka: transfer 100% (95/95 blocks)\n"), std::string::npos);
  EXPECT_EQ(written.find('\r'), std::string::npos);
}

TEST(CliTrace, HexBytes) {
  const std::uint8_t bytes[] = {0x1d, 0x72, 0x01, 0xff};
  EXPECT_EQ(HexBytes(bytes), "1d 72 01 ff");
  EXPECT_EQ(HexBytes({}), "(nothing)");
}

}  // namespace
}  // namespace zelka::cli
