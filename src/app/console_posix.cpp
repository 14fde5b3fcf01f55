#include "app/console.h"

namespace zelka::app {

// Standard output and error are the terminal's or a redirection's already.
void UseStartingConsole() {}

}  // namespace zelka::app
