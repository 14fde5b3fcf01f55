#include "firmware/update_progress.h"

#include <algorithm>
#include <utility>

namespace zelka::firmware {
namespace {

constexpr char kProgressBar[] = "ProgressBar1";

}  // namespace

UpdateProgress::UpdateProgress(seams::WindowState& window, seams::Dialogs& dialogs, Now now)
    : window_(window), dialogs_(dialogs), now_(std::move(now)) {}

void UpdateProgress::Reset() {
  position_ = kStart;
  window_.SetPosition(kProgressBar, position_);
}

void UpdateProgress::Show(int position) {
  position_ = position;
  window_.SetPosition(kProgressBar, position_);
  Repaint();
}

void UpdateProgress::OnBlock(std::size_t sent, std::size_t count) {
  if (count == 0) return;
  const std::size_t share = static_cast<std::size_t>(kDone - kSpeedSet);
  const int position = kSpeedSet + static_cast<int>(share * std::min(sent, count) / count);
  const bool moved = position != position_;
  if (moved) {
    position_ = position;
    window_.SetPosition(kProgressBar, position_);
  }
  if (moved || now_() - lastRepaint_ >= kRepaintIntervalMs) Repaint();
}

void UpdateProgress::Repaint() {
  dialogs_.Repaint();
  lastRepaint_ = now_();
}

}  // namespace zelka::firmware
