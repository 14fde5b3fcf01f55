// The terminal the command line writes to: text in UTF-8, and whether standard error can
// redraw a line in place (the progress bar).
#pragma once

namespace zelka::cli {

// For its lifetime the console shows what the program writes as UTF-8, and standard error
// takes the line-editing sequences of the progress bar where the system has to be asked
// for them (Windows consoles); the console is left as it was found afterwards.
class Console {
 public:
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Standard error is a terminal on which the progress bar can redraw its line.
  bool ErrorRedraws() const { return errorRedraws_; }

 private:
  bool errorRedraws_ = false;
  unsigned long savedOutputCodePage_ = 0;
  unsigned long savedErrorMode_ = 0;
  bool errorModeChanged_ = false;
};

}  // namespace zelka::cli
