#include "form/main_form.h"
#include "graphics/logo_store.h"
#include "graphics/picture_print.h"

namespace zelka::form {

void RegisterGraphicsHandlers(MainForm& form) {
  seams::Context& context = form.Context();
  form.SetHandler("Button3", [&context] { graphics::Button3Click(context); });
  form.SetHandler("Button8", [&context] { graphics::Button8Click(context); });
  form.SetHandler("Button9", [&context] { graphics::Button9Click(context); });
  form.SetHandler("Button10", [&context] { graphics::Button10Click(context); });
}

}  // namespace zelka::form
