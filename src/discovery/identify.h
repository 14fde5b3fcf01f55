// The identification: on the printer's port, its identity and state, query by query.
#pragma once

#include <functional>

#include "discovery/identity.h"
#include "printer/session.h"

namespace zelka::discovery {

// What the identification does after a step.
enum class Next {
  kGoOn,
  kPause,    // stop after this step; IdentifyPrinter can go on from the next one later
  kAbandon,  // stop: whoever wanted the values has gone
};

// Told after every step, with the values read so far.
using StepListener = std::function<Next(Step step, const Identity& identity)>;

struct IdentifyOutcome {
  Identity identity;
  // The step after which the listener paused or abandoned; nothing when all ran.
  std::optional<Step> stoppedAfter;
  bool abandoned = false;
};

// Runs the steps from `from` (kModel for all of them, or the step after a pause) on the
// session's printer port. A reference model sets the session's model for text lines.
// `identity` holds the values of the steps before `from`, when going on after a pause.
IdentifyOutcome IdentifyPrinter(printer::Session& session, const StepListener& listener,
                                Step from = Step::kModel, Identity identity = {});

}  // namespace zelka::discovery
