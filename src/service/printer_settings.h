// The settings stored in the printer: cut line and print density (the track bars and
// their "Применить" buttons), code page 866, and the printer's baud rate (the dialog
// TForm2, and Button5 below the window's client area). None of them reads an answer, and
// none shows anything: a printer that is absent or refuses a setting goes unnoticed.
#pragma once

#include "seams/context.h"
#include "seams/window_state.h"

namespace zelka::service {

// The baud-rate dialog's window name for Dialogs::ShowModeless.
inline constexpr const char* kBaudDialogWindow = "TForm2";

void Button15Click(seams::Context& context);  // cut line: parameter 10 = 100 + TrackBar1
void Button16Click(seams::Context& context);  // density: parameter 65 = TrackBar2
void Button18Click(seams::Context& context);  // ESC R 7
void Button24Click(seams::Context& context);  // shows TForm2, not modal
// Button5: tells the printer 9600 baud but keeps CurrentBaud as it is.
void Button5Click(seams::Context& context);

// The rate of TForm2's first checked radio button (RadioButton1..4 = 9600, 19200, 57600,
// 115200); 57600 when none is checked. TForm2's Button1 hands it to the main window's
// ChangePrinterBaudRate.
int ChosenBaudRate(const seams::WindowState& window);

}  // namespace zelka::service
