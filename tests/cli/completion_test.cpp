// Shell completion as bash runs it: the package's script sourced into a real bash, the
// words of a command line given as bash gives them, and what it offers.
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <set>

#include "cli/cli_fixture.h"
#include "cli/command_table.h"

namespace zelka::testing {
namespace {

// What _zelka offers for `words`, the last one being completed.
std::set<std::string> Complete(const QStringList& words) {
  QString array;
  for (const QString& word : words) array += " '" + word + "'";
  const QString script = QStringLiteral(
                             "source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _zelka; "
                             "printf '%s\\n' \"${COMPREPLY[@]}\"")
                             .arg(QStringLiteral(ZELKA_SOURCE_DIR "/packaging/zelka.bash-completion"), array)
                             .arg(words.size() - 1);
  QProcess bash;
  bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), script});
  EXPECT_TRUE(bash.waitForFinished(30000));
  EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
  std::set<std::string> offered;
  for (const QByteArray& line : bash.readAllStandardOutput().split('\n')) {
    if (!line.isEmpty()) offered.insert(line.toStdString());
  }
  return offered;
}

TEST(CompletionTest, OffersEveryCommandAndItsOptions) {
  const QString zelka = ZelkaPath();
  std::set<std::string> groups;
  for (const cli::CommandSpec& command : cli::Commands()) groups.insert(command.group);
  groups.insert("help");
  EXPECT_EQ(Complete({zelka, ""}), groups);
  EXPECT_EQ(Complete({zelka, "se"}), (std::set<std::string>{"selftest", "serve", "set", "settings"}));

  for (const cli::CommandSpec& command : cli::Commands()) {
    const std::string words = cli::CommandWords(command);
    SCOPED_TRACE(words);
    QStringList line{zelka, "--json", QString::fromLatin1(command.group)};
    if (*command.name != '\0') {
      EXPECT_TRUE(Complete({zelka, "-p", "/dev/x", QString::fromLatin1(command.group), ""}).contains(command.name));
      line << QString::fromLatin1(command.name);
    }
    // Every option of the usage line, and the global ones.
    const std::set<std::string> options = Complete(line + QStringList{"--"});
    const std::string usage = cli::UsageLine(command);
    for (std::size_t at = usage.find("[--"); at != std::string::npos; at = usage.find("[--", at + 1)) {
      const std::string option = usage.substr(at + 1, usage.find_first_of(" ]", at + 1) - at - 1);
      EXPECT_TRUE(options.contains(option)) << option;
    }
    for (const char* global : {"--port", "--baud", "--json", "--trace", "--quiet"}) {
      EXPECT_TRUE(options.contains(global)) << global;
    }
  }
}

TEST(CompletionTest, OffersValuesAndFiles) {
  const QString zelka = ZelkaPath();
  EXPECT_EQ(Complete({zelka, "set", "baud", ""}), (std::set<std::string>{"9600", "19200", "57600", "115200"}));
  EXPECT_EQ(Complete({zelka, "-b", "1"}), (std::set<std::string>{"19200", "115200"}));
  EXPECT_EQ(Complete({zelka, "print", "test", "--paper", ""}), (std::set<std::string>{"80", "57", "57-on-80"}));
  const std::string source = ZELKA_SOURCE_DIR "/packaging/zelka.bash-co";
  EXPECT_EQ(Complete({zelka, "print", "raw", QString::fromStdString(source)}),
            std::set<std::string>{ZELKA_SOURCE_DIR "/packaging/zelka.bash-completion"});
  EXPECT_TRUE(Complete({zelka, "feed", ""}).empty());
}

// Port names come from "zelka ports": its paths, stable names and usb:SERIAL names.
TEST(CompletionTest, OffersThePortsZelkaLists) {
  const CliRun ports = RunZelka({"ports"});
  std::set<std::string> listed;
  for (const QByteArray& line : ports.out.split('\n')) {
    const QByteArray word = line.trimmed().split(' ').value(0);
    if (word.startsWith('/')) listed.insert(word.toStdString());
    const int serial = line.indexOf("  serial ");
    if (serial >= 0) listed.insert("usb:" + line.mid(serial + 9).split(' ').value(0).toStdString());
  }
  EXPECT_EQ(Complete({ZelkaPath(), "info", "-p", ""}), listed);
  EXPECT_EQ(Complete({ZelkaPath(), "--port", "/nonexistent-prefix"}), std::set<std::string>{});
}

}  // namespace
}  // namespace zelka::testing
