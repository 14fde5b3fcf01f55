// The files of the commands that carry a script's own data, read and checked before the
// printer is searched for: a prepared print job, a settings file (and its logo), and the
// place a settings file will be written to.
#pragma once

#include "cli/context.h"

namespace zelka::cli {

// print raw FILE|-: the whole job into the context's inputs, at most kRawJobLimit bytes.
int ReadRawJob(Context& context);
// settings restore FILE [--logo LOGO]: the file checked value by value, and the logo
// converted for the file's paper width.
int ReadSettingsInputs(Context& context);
// settings save FILE: that a file can be written there.
int CheckSettingsTarget(Context& context);

}  // namespace zelka::cli
