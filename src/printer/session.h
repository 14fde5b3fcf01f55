// The printer session: the printer's port and rate as the search or the user chose them,
// the model it reported, the paper width for text lines, and one serial link per port
// used so far.
//
// Every printer operation takes the session: it opens the printer's link (or, during a
// search, the link of each port it probes), exchanges frames and closes it again. A link
// keeps its port's lock from its first open until the session's owner ends the job
// (EndJob): the port is the job's, against other programs too, also while it is closed.
//
// Thread-safety: none. The session belongs to the printer worker's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "commands/text_line.h"
#include "link/serial_link.h"
#include "printer/sleeper.h"

namespace zelka::printer {

inline constexpr int kWidePaperMm = 80;
inline constexpr int kNarrowPaperMm = 57;

class Session {
 public:
  explicit Session(Sleeper& sleeper = RealSleeper());
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The printer's port ("0" = none known) and the rate every operation opens it at.
  const std::string& Port() const { return port_; }
  int Baud() const { return baud_; }
  bool HasPrinter() const { return port_ != link::kNoPort && !port_.empty(); }
  void SetPort(std::string port) { port_ = std::move(port); }
  // The rate is also taken from every successful OpenAt.
  void SetBaud(int baud) { baud_ = baud; }

  commands::PrinterModel model = commands::PrinterModel::kOther;
  // The paper width for text lines: 80, or 57 while a 57 mm receipt prints.
  int paperWidthMm = kWidePaperMm;
  int TextLineLimit() const { return commands::TextLineLimit(model, paperWidthMm); }

  // The link of the printer's port (of "0" when none is known: it never opens).
  link::SerialLink& Link() { return LinkFor(port_); }
  // The link of `port`, made on first use and kept.
  link::SerialLink& LinkFor(const std::string& port);

  // Opens the printer's port at its rate.
  link::Status Open(std::chrono::milliseconds readTimeout) { return OpenAt(port_, baud_, readTimeout); }
  // Opens `port` at `baud`; on success `baud` becomes the session's rate.
  link::Status OpenAt(const std::string& port, int baud, std::chrono::milliseconds readTimeout);
  // Closes whatever link is open; the ports stay the job's.
  void CloseAll();
  // The job is over: closes every link and lets other programs have the ports.
  void EndJob();
  // Whether a link of this session holds the lock of `port` (this job holds the port).
  bool HoldsPort(const std::string& port) const;
  // Lets go of every port but `port` (those a search probed and did not choose).
  void ReleaseOtherPorts(const std::string& port);

  void Sleep(std::chrono::milliseconds duration) { sleeper_.SleepFor(duration); }

  // True once the session's owner asked the running job to give up (the program is
  // ending); long operations look at it between steps.
  bool Cancelled() const { return cancelled_ != nullptr && cancelled_->load(); }
  void SetCancelFlag(const std::atomic<bool>* flag) { cancelled_ = flag; }

  // Every link, made now or later, reports to `observer` (nullptr: none). Not owned.
  void SetLinkObserver(link::Observer* observer);
  link::Observer* LinkObserver() const { return observer_; }

 private:
  Sleeper& sleeper_;
  std::string port_ = link::kNoPort;
  int baud_ = link::kDefaultBaud;
  std::map<std::string, std::unique_ptr<link::SerialLink>> links_;
  link::Observer* observer_ = nullptr;
  const std::atomic<bool>* cancelled_ = nullptr;
};

}  // namespace zelka::printer
