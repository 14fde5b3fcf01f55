// --preview writes its file whole or not at all, as a script runs it: a name that is no
// regular file is refused at once, a write that fails for real (a file size limit, a full
// file system) leaves the old file and no part of the new one, and "Preview written" is
// said only of a file that is there whole.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "graphics/picture_maker.h"

namespace zelka::testing {
namespace {

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // Dithered, its preview is a PNG of some 30 kB: more than the limits below.
    photo = dir.filePath("photo.png");
    ASSERT_TRUE(PhotoLike(1000, 750).save(photo));
  }
  CliRun Preview(const QString& out, const CliOptions& options = {}) {
    return RunZelka({"print", "picture", photo, "--preview", out}, options);
  }
  // Whether this process may mount a file system in a mount namespace of its own.
  static bool CanMountTmpfs(const QString& at) {
    if (::geteuid() != 0) return false;
    QProcess probe;
    probe.start("unshare", {"-m", "sh", "-c", "mount -t tmpfs -o size=8k tmpfs \"$0\"", at});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
  }

  QTemporaryDir dir;
  QString photo;
};

TEST_F(PreviewTest, NameThatIsNoRegularFileIsRefusedAtOnce) {
  const QString fifo = dir.filePath("fifo");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& out : {QStringLiteral("/dev/full"), fifo, dir.path()}) {
    SCOPED_TRACE(out.toStdString());
    const CliRun run = Preview(out);
    EXPECT_FALSE(run.crashed) << "a pipe nobody reads must not block the program";
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_NE(run.Err().find("not a regular file"), std::string::npos) << run.Err();
    EXPECT_EQ(run.Out().find("Preview written"), std::string::npos);
  }
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(PreviewTest, WriteThatFailsLeavesTheOldFileAndNoPartOfTheNew) {
  const QString out = dir.filePath("preview.png");
  const auto writeOld = [&] {
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  };
  writeOld();
  // A file size limit of 4 kB, its signal ignored so that the write fails with EFBIG
  // (as a shell's `ulimit -f` does to a program that ignores SIGXFSZ).
  const CliRun limited =
      Preview(out, {.prefix = {"sh", "-c", "trap '' XFSZ; exec prlimit --fsize=4096 -- \"$@\"", "sh"}});
  EXPECT_EQ(limited.exitCode, 7) << limited.Err();
  EXPECT_NE(limited.Err().find("File too large"), std::string::npos) << limited.Err();
  EXPECT_EQ(limited.Out().find("Preview written"), std::string::npos);
  QFile old(out);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old");
  old.close();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"photo.png", "preview.png"}))
      << "no temporary file is left";

  // The same file written for real replaces the old one whole.
  const CliRun written = Preview(out);
  EXPECT_EQ(written.exitCode, 0) << written.Err();
  EXPECT_NE(written.Out().find("Preview written"), std::string::npos);
  EXPECT_EQ(QImage(out).size(), QSize(576, 432));

  // A file system of 8 kB, mounted for the program alone (root only).
  const QString tiny = dir.filePath("tiny");
  ASSERT_TRUE(QDir().mkpath(tiny));
  if (!CanMountTmpfs(tiny)) GTEST_SKIP() << "no tmpfs can be mounted here";
  const CliRun full = Preview(
      tiny + "/preview.png",
      {.prefix = {"unshare", "-m", "sh", "-c", "mount -t tmpfs -o size=8k tmpfs \"$0\" && exec \"$@\"", tiny}});
  EXPECT_EQ(full.exitCode, 7) << full.Err();
  EXPECT_NE(full.Err().find("No space left on device"), std::string::npos) << full.Err();
  EXPECT_EQ(full.Out().find("Preview written"), std::string::npos);
}

}  // namespace
}  // namespace zelka::testing
