// The firmware update of the window's "Обновить прошивку" button: the user chooses a
// firmware file, the file is checked against the printer's board, the bootloader takes
// it, and a message box tells the outcome.
#pragma once

#include "seams/context.h"

namespace zelka::firmware {

// Holds the link lock from the board query to the end of the transfer, so that no other
// exchange reaches the printer while it is in its bootloader.
void Button14Click(seams::Context& context);

}  // namespace zelka::firmware
