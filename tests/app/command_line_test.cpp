// The window's command line as a user meets it: the real zelka-utility, with and without
// a display.
#include <QProcess>

#include <gtest/gtest.h>

#include <string>

#include "app/options.h"

namespace zelka::testing {
namespace {

struct UtilityRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The utility with `arguments`; with `display` false, as on a server or over ssh: no X,
// no Wayland, and no platform named (the tests' own offscreen one is taken away too).
UtilityRun RunUtility(const QStringList& arguments, bool display) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (!display) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
      environment.remove(QString::fromLatin1(name));
    }
  }
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(ZELKA_UTILITY_PATH), arguments);
  UtilityRun run;
  if (!process.waitForStarted() || !process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  if (process.exitStatus() == QProcess::NormalExit) run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

TEST(UtilityCommandLineTest, HelpVersionAndABadLanguageNeedNoDisplay) {
  const struct {
    QStringList arguments;
    int exitCode;
    const char* out;  // the start of standard output
    const char* err;  // a part of standard error
  } cases[] = {
      {{"--help"}, 0, "Usage: ", ""},
      {{"-h"}, 0, "Usage: ", ""},
      {{"--version"}, 0, "zelka-utility " ZELKA_PROJECT_VERSION "\n", ""},
      {{"--lang", "fr"}, 2, "", "--lang takes ru or en"},
      {{"--lang"}, 2, "", "--lang takes ru or en"},
      // Qt's own options are not mistaken for ours ("-platformtheme" holds an "h").
      {{"-platformtheme", "x", "--version"}, 0, "zelka-utility ", ""},
      {{"-platform", "offscreen", "--lang=de"}, 2, "", "--lang takes ru or en"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const UtilityRun run = RunUtility(c.arguments, false);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  const UtilityRun help = RunUtility({"--help"}, false);
  for (const char* option : {"--port <NAME>", "--demo", "--listen <ADDRESS>", "--allow <ADDRESS[/PREFIX]>",
                             "--lang <ru|en>", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(help.out.find("<executable_name>"), std::string::npos) << help.out;
}

// The window reads addresses as the service's own command line does: no octal, no short
// forms, refused with exit 2 before anything listens.
TEST(UtilityCommandLineTest, AddressesAreReadOneWay) {
  for (const char* bad : {"127.000.000.010", "010.010.010.010", "1.2.3", "/8", "127.0.0.1/ 8"}) {
    SCOPED_TRACE(bad);
    std::string error;
    EXPECT_FALSE(app::ParseOptions({QStringLiteral("zelka-utility"), QStringLiteral("--allow"), QString::fromLatin1(bad)},
                                   error));
    EXPECT_NE(error.find("--allow takes ADDRESS or ADDRESS/PREFIX"), std::string::npos) << error;
    EXPECT_FALSE(app::ParseOptions({QStringLiteral("zelka-utility"), QStringLiteral("--listen"), QString::fromLatin1(bad)},
                                   error));
    EXPECT_NE(error.find("--listen takes an IP address"), std::string::npos) << error;
  }
  std::string error;
  const auto options = app::ParseOptions({"zelka-utility", "--listen", "::1", "--allow", "::ffff:127.0.0.1",
                                          "--allow", "10.0.0.0/8"},
                                         error);
  ASSERT_TRUE(options) << error;
  EXPECT_TRUE(options->allow.Allows(QHostAddress(QStringLiteral("127.0.0.1"))));
  EXPECT_FALSE(options->allow.Allows(QHostAddress(QStringLiteral("127.0.0.8"))));

  const UtilityRun run = RunUtility({"-platform", "offscreen", "--listen", "127.000.000.010"}, true);
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("without leading zeros"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("listening"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace zelka::testing
