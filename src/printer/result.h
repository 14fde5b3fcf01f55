// What went wrong in a printer operation, for a front end to put into words.
#pragma once

#include <string>

#include "link/serial_link.h"
#include "printer/session.h"

namespace zelka::printer {

enum class Problem {
  kNone,
  kNoPrinter,   // no printer port is known (no search found one, none was chosen)
  kCannotOpen,  // the port could not be opened: see openFailure and detail
  kNotSent,     // a frame could not be written whole
  kNoReply,     // the printer did not answer
};

struct Result {
  Problem problem = Problem::kNone;
  link::OpenFailure openFailure = link::OpenFailure::kNone;
  std::string detail;  // the system's words for an open failure
  std::string port;    // the port it concerns

  bool Ok() const { return problem == Problem::kNone; }
  // Takes the status of a write: kNotSent unless it went out whole; the port stays named.
  void Sent(link::Status status) {
    if (status != link::Status::kOk) problem = Problem::kNotSent;
  }
};

// Opens the printer's port at its rate. A link that is open already counts as opened.
Result OpenPrinter(Session& session, std::chrono::milliseconds readTimeout);

}  // namespace zelka::printer
