#include "printer/result.h"

namespace zelka::printer {

Result OpenPrinter(Session& session, std::chrono::milliseconds readTimeout) {
  Result result;
  result.port = session.Port();
  switch (session.Open(readTimeout)) {
    case link::Status::kOk:
    case link::Status::kAlreadyOpen: return result;
    case link::Status::kNoPort: result.problem = Problem::kNoPrinter; return result;
    case link::Status::kCannotOpen:
      result.problem = Problem::kCannotOpen;
      result.openFailure = session.Link().LastOpenFailure();
      result.detail = session.Link().LastOpenError();
      return result;
    default:
      result.problem = Problem::kCannotOpen;
      result.openFailure = link::OpenFailure::kOther;
      result.detail = session.Link().LastOpenError();
      return result;
  }
}

}  // namespace zelka::printer
