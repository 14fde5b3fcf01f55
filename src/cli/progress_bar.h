// The progress of a long transfer on standard error: on a terminal a bar redrawn in place
// with the blocks, the rate and the time left; elsewhere (a log file, a pipe) one line per
// tenth of the way, so that a log is not flooded with redraws.
//
// Thread-safety: none; called on the thread that runs the transfer.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace zelka::cli {

// "[##########----------]  50%  1368/2735 blocks  22.2 blocks/s  1:01 left"; `elapsed`
// since the transfer began.
std::string BarLine(std::size_t sent, std::size_t count, std::chrono::milliseconds elapsed);
// "transfer 50% (1368/2735 blocks)"
std::string StepLine(std::size_t sent, std::size_t count);

class ProgressBar {
 public:
  using Clock = std::chrono::steady_clock;

  ProgressBar(std::FILE* err, bool terminal) : err_(err), terminal_(terminal) {}
  // Block `sent` (counted from 1) of `count` has gone.
  void Update(std::size_t sent, std::size_t count);
  // Ends the bar's line on a terminal; nothing elsewhere.
  void Finish();

 private:
  std::FILE* err_;
  bool terminal_;
  bool started_ = false;
  Clock::time_point start_;
  Clock::time_point lastDrawn_;
  std::size_t lastTenth_ = 0;
};

}  // namespace zelka::cli
