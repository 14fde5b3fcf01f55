// The one-button service actions of the main window: paper feed, drawer kick and status,
// paper check, signal, cut and self-diagnosis. Each opens the printer's port, exchanges a
// few frames, shows the outcome on a value label or in a message box and closes the port;
// none changes a setting of the printer. Each holds the link lock for its whole length.
#pragma once

#include "seams/context.h"

namespace zelka::service {

// Shown on a value label when the printer gave no usable answer.
inline constexpr const char* kNoDataCaption = "Нет данных";
inline constexpr const char* kDrawerClosedCaption = "Закрыт";
inline constexpr const char* kDrawerOpenCaption = "Открыт";
inline constexpr const char* kPaperAbsentCaption = "отсутствует";
inline constexpr const char* kPaperPresentCaption = "есть";
inline constexpr const char* kPrinterHealthyMessage = "Принтер исправен";

// The value labels of the drawer and the paper.
inline constexpr const char* kDrawerLabel = "Label18";
inline constexpr const char* kPaperLabel = "Label16";

void Button1Click(seams::Context& context);   // paper feed: one LF
void Button2Click(seams::Context& context);   // kick the drawer, then read its state
void Button4Click(seams::Context& context);   // drawer state (GS r 2)
void Button6Click(seams::Context& context);   // paper sensor (GS r 1)
void Button12Click(seams::Context& context);  // signal
void Button13Click(seams::Context& context);  // three sample lines, feed, cut
void Button17Click(seams::Context& context);  // self-diagnosis

}  // namespace zelka::service
