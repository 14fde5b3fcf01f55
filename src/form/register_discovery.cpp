#include "discovery/auto_detect.h"
#include "discovery/manual_connection.h"
#include "form/main_form.h"
#include "service/paper_width.h"

namespace zelka::form {

void RegisterDiscoveryHandlers(MainForm& form) {
  seams::Context& context = form.Context();
  // Button7Click: the port list is read anew before every search.
  form.SetHandler("Button7", [&form] {
    form.FormCreate();
    form.AutoDetectPrinter(discovery::kWindowRequest, nullptr);
  });
  form.SetHandler("Button11", [&context] { discovery::Button11Click(context); });
  form.Window().SetChangeAction(
      "ComboBox1", [&form] { discovery::UpdateManualConnectionButton(form.Window()); });

  // The paper-width actions run whenever a radio button turns checked, by the user or
  // by the program.
  form.Window().SetClickAction("RadioButton80mm",
                               [&context] { service::RadioButton80mmClick(context); });
  form.Window().SetClickAction("RadioButton57mm",
                               [&context] { service::RadioButton57mmClick(context); });
  form.SetHandler("Button23", [&context] { service::Button23Click(context); });
}

}  // namespace zelka::form
