#include "form/main_form.h"

namespace zelka::form {

void RegisterServiceHandlers(MainForm&) {}

}  // namespace zelka::form
