// ProgressBar1 during the transfer: it moves with the blocks inside 40 %..100 % and the window
// is repainted often enough to be watched, but not at every block.
#include "firmware/update_progress.h"

#include <gtest/gtest.h>

#include "support/fake_dialogs.h"

namespace zelka::firmware {
namespace {

using std::chrono::milliseconds;
using Clock = UpdateProgress::Clock;

struct Watched {
  seams::WindowState window;
  testing::FakeDialogs dialogs;
  Clock::time_point now{};
  std::vector<int> positions;  // every position the bar took
  std::vector<Clock::time_point> moveTimes;
  std::vector<Clock::time_point> repaintTimes;

  Watched() {
    window.AddControl("ProgressBar1", {.minimum = 0, .maximum = 1000});
    window.SetObserver([this](const std::string&) {
      positions.push_back(window.Position("ProgressBar1"));
      moveTimes.push_back(now);
    });
  }
  UpdateProgress Progress() {
    return UpdateProgress(window, dialogs, [this] { return now; });
  }
  // Sends `count` blocks that take `perBlock` each; notes when each repaint happened.
  void Transfer(UpdateProgress& progress, std::size_t count, Clock::duration perBlock) {
    for (std::size_t sent = 1; sent <= count; ++sent) {
      const int before = dialogs.repaints;
      progress.OnBlock(sent, count);
      if (dialogs.repaints != before) repaintTimes.push_back(now);
      now += perBlock;
    }
  }
};

TEST(UpdateProgressTest, LargeImageAtLineSpeedMovesTheBarAndRepaintsEveryTenthOfASecond) {
  Watched w;
  auto progress = w.Progress();
  progress.Show(UpdateProgress::kSpeedSet);
  w.positions.clear();
  w.repaintTimes.clear();
  const std::size_t blocks = 2735;  // 700,000 bytes
  const auto perBlock = std::chrono::microseconds(45000);
  w.Transfer(progress, blocks, perBlock);

  // Every tenth of a percent of the transfer's share shows, in order, ending at 100 %,
  // and the bar never stands still for a second.
  std::vector<int> expected;
  for (int p = 401; p <= 1000; ++p) expected.push_back(p);
  EXPECT_EQ(w.positions, expected);
  for (std::size_t i = 1; i < w.moveTimes.size(); ++i) {
    EXPECT_LT(w.moveTimes[i] - w.moveTimes[i - 1], std::chrono::seconds(1));
  }
  // Never a repaint gap longer than the interval plus one block; far fewer repaints than
  // blocks.
  ASSERT_FALSE(w.repaintTimes.empty());
  for (std::size_t i = 1; i < w.repaintTimes.size(); ++i) {
    EXPECT_LE(w.repaintTimes[i] - w.repaintTimes[i - 1], UpdateProgress::kRepaintIntervalMs + perBlock);
  }
  const auto elapsed = perBlock * blocks;
  EXPECT_LE(w.repaintTimes.size(), elapsed / UpdateProgress::kRepaintIntervalMs + 600 + 1);
  EXPECT_LT(w.repaintTimes.size(), blocks / 2);
}

TEST(UpdateProgressTest, FastBlocksRepaintOnlyWhenTheBarMoves) {
  Watched w;
  auto progress = w.Progress();
  progress.Show(UpdateProgress::kSpeedSet);
  const int before = w.dialogs.repaints;
  w.Transfer(progress, 2735, std::chrono::microseconds(20));
  EXPECT_EQ(w.dialogs.repaints - before, 600);
  EXPECT_EQ(w.window.Position("ProgressBar1"), 1000);
}

TEST(UpdateProgressTest, FixedStepsRepaintAndResetDoesNot) {
  Watched w;
  auto progress = w.Progress();
  w.window.SetPosition("ProgressBar1", 770);
  w.positions.clear();
  progress.Reset();
  EXPECT_EQ(w.dialogs.repaints, 0);
  for (int step : {UpdateProgress::kChecked, UpdateProgress::kBootEntered, UpdateProgress::kSpeedSet,
                   UpdateProgress::kDone})
    progress.Show(step);
  EXPECT_EQ(w.positions, (std::vector<int>{0, 100, 300, 400, 1000}));
  EXPECT_EQ(w.dialogs.repaints, 4);
  // A block count of 0 (an empty image) moves nothing.
  progress.OnBlock(0, 0);
  EXPECT_EQ(w.window.Position("ProgressBar1"), 1000);
}

}  // namespace
}  // namespace zelka::firmware
