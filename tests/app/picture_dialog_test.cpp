// The picture dialog's preview: loaded off the window's thread, one load at a time, and
// only the newest file's shown, so that highlighting a large photograph never freezes the
// window.
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/picture_file_dialog.h"
#include "app/preview_loader.h"
#include "graphics/crafted_pictures.h"
#include "graphics/picture_maker.h"

namespace zelka::testing {
namespace {

using namespace std::chrono_literals;

// Runs the window's event loop until `done` holds; false after `deadline`.
template <typename Condition>
bool ProcessEventsUntil(Condition done, std::chrono::milliseconds deadline = 20s) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// A load that holds until the test lets it go: the test, not the clock, decides when a
// load ends. Each load's picture is as many dots high as its name is long.
class HeldLoads {
 public:
  app::PreviewLoader::Load Load() {
    return [this](const std::string& path, const graphics::ConversionOptions&) {
      std::unique_lock lock(mutex_);
      started_.push_back(path);
      thread_ = std::this_thread::get_id();
      changed_.notify_all();
      // Bounded, so that a test that fails still ends.
      changed_.wait_for(lock, 30s, [&] { return released_; });
      app::Preview preview;
      preview.dots = QImage(8, static_cast<int>(path.size()), QImage::Format_Mono);
      return preview;
    };
  }
  bool WaitForStarted(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 30s, [&] { return started_.size() >= count; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::vector<std::string> Started() {
    std::lock_guard lock(mutex_);
    return started_;
  }
  std::thread::id Thread() {
    std::lock_guard lock(mutex_);
    return thread_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> started_;
  std::thread::id thread_;
  bool released_ = false;
};

TEST(PreviewLoaderTest, LoadsOffTheWindowsThreadOneAtATimeAndShowsOnlyTheNewest) {
  HeldLoads loads;
  std::vector<int> shown;
  app::PreviewLoader loader(
      nullptr, [&](const app::Preview& p) { shown.push_back(p.dots.height()); }, loads.Load());
  loader.Request("a", {});
  ASSERT_TRUE(loads.WaitForStarted(1));
  // This test runs on the window's thread, which is free while "a" loads.
  EXPECT_NE(loads.Thread(), std::this_thread::get_id());
  loader.Request("bb", {});
  loader.Request("ccc", {});  // replaces "bb", which is never loaded
  loads.Release();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !shown.empty(); }));
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  EXPECT_EQ(loads.Started(), (std::vector<std::string>{"a", "ccc"}));
  EXPECT_EQ(shown, std::vector<int>{3}) << "the result for \"a\" came too late to be shown";
}

TEST(PreviewLoaderTest, LoaderThatGoesWhileALoadRunsNeitherWaitsNorHearsOfIt) {
  HeldLoads loads;
  bool shown = false;
  auto loader = std::make_unique<app::PreviewLoader>(
      nullptr, [&](const app::Preview&) { shown = true; }, loads.Load());
  loader->Request("a", {});
  ASSERT_TRUE(loads.WaitForStarted(1));
  loader.reset();  // returns while "a" is still held
  loads.Release();
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  EXPECT_FALSE(shown);
}

TEST(PictureFileDialogTest, HighlightedPictureIsShownWhenItIsReadOrSaysWhyItIsRefused) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString png = dir.filePath("small.png");
  ASSERT_TRUE(FlatGrey(16, 3, 0).save(png));
  const QString gif = dir.filePath("cut.gif");
  {
    const std::vector<std::uint8_t> bytes = MakeGif(400, 400, [](int x, int) { return static_cast<std::uint8_t>(x); });
    QFile file(gif);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size() / 3));
  }
  app::PictureFileDialog dialog(nullptr, QStringLiteral("*.png *.gif"), 576);
  auto* preview = dialog.findChild<QLabel*>(QStringLiteral("preview"));
  auto* caption = dialog.findChild<QLabel*>(QStringLiteral("previewCaption"));
  ASSERT_TRUE(preview && caption);

  emit dialog.currentChanged(png);
  // The result comes through the window's event loop, never within the highlight.
  EXPECT_EQ(caption->text(), QStringLiteral("Чтение рисунка…"));
  ASSERT_TRUE(ProcessEventsUntil([&] { return caption->text() == QStringLiteral("16 × 3 точек"); }))
      << caption->text().toStdString();
  EXPECT_EQ(preview->pixmap().size(), QSize(16, 3));

  emit dialog.currentChanged(gif);
  ASSERT_TRUE(ProcessEventsUntil([&] { return caption->text().startsWith("Файл рисунка повреждён"); }))
      << caption->text().toStdString();
  EXPECT_TRUE(preview->pixmap().isNull());
}

}  // namespace
}  // namespace zelka::testing
