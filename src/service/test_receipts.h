// The test receipts: fixed sample receipts that show the printer's fonts and how many
// characters fit on a line. None reads a reply or shows anything.
#pragma once

#include "seams/context.h"

namespace zelka::service {

// "Тестовый чек": the 80 mm or the 57 mm layout, as RadioButton80mm/RadioButton57mm say
// (neither checked: 80 mm).
void Button22Click(seams::Context& context);
// "Чек 57 мм на 80 мм принтере": the 57 mm layout, every text line moved 160 dots right.
void Button21Click(seams::Context& context);

}  // namespace zelka::service
