#include "cli/progress_bar.h"

#include <algorithm>

namespace zelka::cli {

namespace {

constexpr std::size_t kBarWidth = 30;
// A terminal is redrawn at most this often; the last block is always drawn.
constexpr std::chrono::milliseconds kRedrawInterval{100};

std::size_t Percent(std::size_t sent, std::size_t count) {
  return count == 0 ? 100 : std::min(sent, count) * 100 / count;
}

std::string Duration(long long seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  }
  return text;
}

}  // namespace

std::string BarLine(std::size_t sent, std::size_t count, std::chrono::milliseconds elapsed) {
  const std::size_t percent = Percent(sent, count);
  const std::size_t filled = percent * kBarWidth / 100;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] ";
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%3zu%%  %zu/%zu blocks", percent, sent, count);
  line += numbers;
  const double seconds = static_cast<double>(elapsed.count()) / 1000.0;
  if (sent == 0 || seconds <= 0.0) return line;
  const double rate = static_cast<double>(sent) / seconds;
  const auto left = static_cast<long long>(static_cast<double>(count - std::min(sent, count)) / rate + 0.5);
  char tail[64];
  std::snprintf(tail, sizeof tail, "  %.1f blocks/s  %s left", rate, Duration(left).c_str());
  return line + tail;
}

std::string StepLine(std::size_t sent, std::size_t count) {
  char text[64];
  std::snprintf(text, sizeof text, "transfer %zu%% (%zu/%zu blocks)", Percent(sent, count), sent, count);
  return text;
}

void ProgressBar::Update(std::size_t sent, std::size_t count) {
  const Clock::time_point now = Clock::now();
  if (!started_) {
    started_ = true;
    start_ = now;
  }
  if (!terminal_) {
    const std::size_t tenth = Percent(sent, count) / 10;
    if (tenth <= lastTenth_) return;
    lastTenth_ = tenth;
    std::fprintf(err_, "zelka: %s\n", StepLine(sent, count).c_str());
    std::fflush(err_);
    return;
  }
  if (sent < count && now - lastDrawn_ < kRedrawInterval) return;
  lastDrawn_ = now;
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_);
  // \r and an erase to the line's end: the line may get shorter as the time left does.
  std::fprintf(err_, "\r%s\033[K", BarLine(sent, count, elapsed).c_str());
  std::fflush(err_);
}

void ProgressBar::Finish() {
  if (!terminal_ || !started_) return;
  std::fputc('\n', err_);
  std::fflush(err_);
}

}  // namespace zelka::cli
