#include "form/main_form.h"

namespace zelka::form {

void RegisterFirmwareHandlers(MainForm&) {}

}  // namespace zelka::form
