#include "cli/context.h"

#include "cli/failure_text.h"

namespace zelka::cli {

int ReportProblem(Context& context, const printer::Result& result, const std::string& what) {
  if (result.Ok()) return 0;
  const Failure failure =
      ResultFailure(result, what, context.session.Port(), context.invocation.global.environmentPort);
  return context.output.Fail(failure.code, failure.message);
}

}  // namespace zelka::cli
