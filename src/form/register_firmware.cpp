#include "firmware/update_flow.h"
#include "form/main_form.h"

namespace zelka::form {

void RegisterFirmwareHandlers(MainForm& form) {
  seams::Context& context = form.Context();
  form.SetHandler("Button14", [&context] { firmware::Button14Click(context); });
}

}  // namespace zelka::form
