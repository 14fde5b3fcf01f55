// Manual connection: the port chosen in ComboBox1 becomes the printer's port at the
// current rate, without a search and without reading anything from the printer.
#pragma once

#include "seams/context.h"

namespace zelka::discovery {

void Button11Click(seams::Context& context);

// Button11 is usable while ComboBox1 has a selected port.
void UpdateManualConnectionButton(seams::WindowState& window);

}  // namespace zelka::discovery
