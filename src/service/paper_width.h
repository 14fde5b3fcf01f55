// The paper-width switches: write the printer's paper width (parameter 8), read it back
// and show what it reports in the two radio buttons and in Button21.
#pragma once

#include "seams/context.h"

namespace zelka::service {

void RadioButton80mmClick(seams::Context& context);
void RadioButton57mmClick(seams::Context& context);
// Below the window's client area: reads, writes 57 mm, reads again; shows nothing.
void Button23Click(seams::Context& context);

}  // namespace zelka::service
