// The end of a long-running command (serve) on SIGTERM or SIGINT (Ctrl+C; on Windows
// the console's close and break events): the handler itself only wakes the event loop,
// which then runs `stop` on the thread that made the StopSignal.
//
// Thread-safety: one StopSignal at a time, made and destroyed on the event loop's thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace zelka::cli {

class StopSignal {
 public:
  explicit StopSignal(std::function<void()> stop);
  // Puts the default handling back.
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // False (with the reason in Error()) when the handlers could not be set up.
  bool Installed() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string error_;
};

}  // namespace zelka::cli
