// Whether standard error is a terminal (the progress bar redraws in place there).
#pragma once

namespace zelka::cli {

bool StandardErrorIsTerminal();

}  // namespace zelka::cli
