// ProgressBar1 during a firmware update: the fixed steps of the update, and inside the
// transfer's share of the bar one step per block, so that a transfer of minutes shows
// that it moves. The window is repainted as the bar moves, and at least every
// kRepaintIntervalMs while blocks go out, but never more often than the bar or that
// interval asks for.
//
// Thread-safety: the window's thread only (it repaints the window).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

#include "seams/dialogs.h"
#include "seams/window_state.h"

namespace zelka::firmware {

class UpdateProgress {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;

  // The bar counts tenths of a percent: the transfer's 60 % share then has 600 steps, so
  // that the bar moves about every 0.2 s even for the largest image (2,735 blocks of
  // 45 ms), where whole percents would leave it still for 2 s at a time.
  static constexpr int kPerPercent = 10;
  // The bar's fixed positions (10 %, 30 %, 40 %, 100 %): before anything, once the file
  // suits the board, after the boot entry, after the speed command, at the end whatever
  // the outcome.
  static constexpr int kStart = 0;
  static constexpr int kChecked = 10 * kPerPercent;
  static constexpr int kBootEntered = 30 * kPerPercent;
  static constexpr int kSpeedSet = 40 * kPerPercent;
  static constexpr int kDone = 100 * kPerPercent;
  static constexpr std::chrono::milliseconds kRepaintIntervalMs{100};

  UpdateProgress(seams::WindowState& window, seams::Dialogs& dialogs, Now now = &Clock::now);

  // Back to the start, without a repaint: a file dialog comes next.
  void Reset();
  // A fixed step: the bar moves there and the window is repainted.
  void Show(int position);
  // Block `sent` of `count` has gone out: the bar moves within kSpeedSet..kDone.
  void OnBlock(std::size_t sent, std::size_t count);

 private:
  void Repaint();

  seams::WindowState& window_;
  seams::Dialogs& dialogs_;
  Now now_;
  int position_ = kStart;
  Clock::time_point lastRepaint_{};
};

}  // namespace zelka::firmware
