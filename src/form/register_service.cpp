#include "commands/qr.h"
#include "form/main_form.h"
#include "service/printer_settings.h"
#include "service/sample_receipt.h"
#include "service/service_actions.h"
#include "service/test_receipts.h"

namespace zelka::form {

namespace {

using ContextAction = void (*)(seams::Context&);

struct ServiceButton {
  const char* name;
  ContextAction action;
};

constexpr ServiceButton kServiceButtons[] = {
    {"Button1", service::Button1Click},   {"Button2", service::Button2Click},
    {"Button4", service::Button4Click},   {"Button6", service::Button6Click},
    {"Button12", service::Button12Click}, {"Button13", service::Button13Click},
    {"Button17", service::Button17Click}, {"Button15", service::Button15Click},
    {"Button16", service::Button16Click}, {"Button18", service::Button18Click},
    {"Button24", service::Button24Click}, {"Button5", service::Button5Click},
    {"Button22", service::Button22Click}, {"Button21", service::Button21Click},
    {"Button20", service::Button20Click},
};

}  // namespace

void RegisterServiceHandlers(MainForm& form) {
  seams::Context& context = form.Context();
  for (const ServiceButton& button : kServiceButtons) {
    form.SetHandler(button.name, [&context, action = button.action] { action(context); });
  }
  form.SetHandler("Button19", [] { commands::PrintSampleQrCode(); });
  // "Установить" of the baud-rate dialog: the main window sends the rate and keeps it.
  form.SetHandler("TForm2.Button1",
                  [&form] { form.ChangePrinterBaudRate(service::ChosenBaudRate(form.Window())); });
}

}  // namespace zelka::form
