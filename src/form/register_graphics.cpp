#include "form/main_form.h"

namespace zelka::form {

void RegisterGraphicsHandlers(MainForm&) {}

}  // namespace zelka::form
