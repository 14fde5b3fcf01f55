// The printer's stored logo: load it from a bitmap file (Button8), erase it (Button9),
// print it (Button10), and show in Label4 whether one is stored.
//
// The logo travels as the bitmap file itself behind one ESC byte; the printer decodes and
// stores it. Each handler is one printer operation and holds the link lock throughout.
#pragma once

#include <cstddef>

#include "link/serial_link.h"
#include "seams/context.h"

namespace zelka::graphics {

// The file sits in TxBuffer behind the command byte.
inline constexpr std::size_t kLogoFileLimit = link::kBufferSize - 1;

// Loads a logo: the file goes out unchanged behind 1B, then the printer is asked whether
// it now holds a logo.
void Button8Click(seams::Context& context);
// Erases the logo (GS @ 1) and asks the printer for the logo state.
void Button9Click(seams::Context& context);
// Prints the stored logo (GS / 0).
void Button10Click(seams::Context& context);

}  // namespace zelka::graphics
