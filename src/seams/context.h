// What a window handler's printer operation is given to reach the window: its controls
// and its dialogs. Remote requests pass the same window state and dialogs they never use.
#pragma once

#include "seams/dialogs.h"
#include "seams/window_state.h"

namespace zelka::seams {

struct Context {
  WindowState& window;
  Dialogs& dialogs;
};

}  // namespace zelka::seams
