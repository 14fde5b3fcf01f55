// Where the window program's own lines go (its --help, a usage error, the remote
// service's port): standard output and error as the program was started with them.
#pragma once

namespace zelka::app {

// A window program on Windows starts without a console: started from cmd or PowerShell,
// its lines go to that console unless they were redirected. Nothing to do elsewhere.
void UseStartingConsole();

}  // namespace zelka::app
