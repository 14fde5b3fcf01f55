// The access advice for a port the user may not open, from the device's owner, group and
// mode as a POSIX system keeps them.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "form/messages.h"

namespace zelka::form {
namespace {

// A group is named only when joining it would give access: it may read and write the
// device and it is not root's. Otherwise only the owner may open it, and a udev rule is
// what changes that.
TEST(FormMessagesTest, AccessAdviceNamesOnlyAGroupThatWouldHelp) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the device away";
  char path[] = "/tmp/zelka-device-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const group* tty = ::getgrnam("tty");
  ASSERT_NE(tty, nullptr);
  const gid_t ttyGid = tty->gr_gid;
  const struct {
    mode_t mode;
    gid_t group;
    std::string text;
  } cases[] = {
      {0660, ttyGid, ": нет доступа — добавьте пользователя в группу tty"},
      {0600, 0, ": нет доступа — открыть порт может только его владелец (root); доступ группе даёт правило udev"},
      {0660, 0, ": нет доступа — открыть порт может только его владелец (root); доступ группе даёт правило udev"},
      {0620, ttyGid, ": нет доступа — открыть порт может только его владелец (root); доступ группе даёт правило udev"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.group));
    ASSERT_EQ(::chown(path, 0, c.group), 0);
    ASSERT_EQ(::chmod(path, c.mode), 0);
    EXPECT_EQ(OpenFailureText(path, link::OpenFailure::kPermissionDenied, ""), path + c.text);
  }
  ::unlink(path);
  EXPECT_EQ(OpenFailureText("/nonexistent/ttyQ", link::OpenFailure::kPermissionDenied, ""),
            "/nonexistent/ttyQ: нет доступа к порту");
  EXPECT_EQ(OpenFailureText("/etc/passwd", link::OpenFailure::kNotSerial, ""),
            "/etc/passwd: это не последовательный порт");
}

}  // namespace
}  // namespace zelka::form
