// The search, the identification, the manual connection and the paper-width switches.
#include "discovery/identify.h"
#include "discovery/identity_words.h"
#include "discovery/manual_connection.h"
#include "form/main_form.h"
#include "form/messages.h"
#include "service/paper_width.h"

namespace zelka::form {

namespace {

using discovery::Step;

// The printer controls that a search which finds a printer enables, in this order.
constexpr const char* kEnabledByTheSearch[] = {
    "Button1", "Button2", "Button3", "Button4", "Button6", "Button8", "Button9",
    "Button10", "Button12", "Button13", "Button19", "Button21", "Button22"};

// The printer controls manual connection enables, in this order. Not Button21, Button24
// or the paper-width buttons: nothing has been read from the printer.
constexpr const char* kEnabledByManualConnection[] = {
    "Button1", "Button2", "Button3", "Button4", "Button22", "Button6",
    "Button8", "Button9", "Button10", "Button12", "Button13", "Button14",
    "Button15", "Button16", "Button17", "Button18", "Button19"};

// Controls a "Printer Zelka" enables; any other model gets the code page button instead.
constexpr const char* kReferenceModelButtons[] = {"Button17", "Button14", "Button24"};

// The value label of each record step.
const char* LabelOf(Step step) {
  switch (step) {
    case Step::kModel: return "Label2";
    case Step::kSerialNumber: return "Label6";
    case Step::kBootFirmwareNumber: return "Label12";
    case Step::kBootFirmwareVersion: return "Label14";
    case Step::kMainFirmwareNumber: return "Label8";
    case Step::kMainFirmwareVersion: return "Label10";
    case Step::kPaper: return "Label16";
    case Step::kDrawer: return "Label18";
    case Step::kLogo: return "Label4";
    case Step::kBuildDate: return "Label22";
    case Step::kModelSettings:
    case Step::kPaperWidth: break;
  }
  return nullptr;
}

void ShowValue(WindowState& window, const char* label, const std::optional<std::string>& value) {
  window.SetValue(label, value ? *value : discovery::kNoData, value ? kWindowTextColour : kRedColour);
}

// The identification of the window's own search, from `from` on. It stops after the
// boot firmware version when that is outdated, so that the user's OK on the warning
// comes before the rest, as it always did; the printer is free meanwhile.
void Identify(MainForm& form, Step from, discovery::Identity identity) {
  form.RunJob<discovery::IdentifyOutcome>(
      [&form, from, identity](printer::Session& session) {
        return discovery::IdentifyPrinter(
            session,
            [&form](Step step, const discovery::Identity& id) {
              form.ShowIdentifyStep(step, id);
              const bool warn = step == Step::kBootFirmwareVersion && id.bootFirmwareOutdated;
              return warn ? discovery::Next::kPause : discovery::Next::kGoOn;
            },
            from, identity);
      },
      [&form](discovery::IdentifyOutcome outcome) {
        if (outcome.stoppedAfter != Step::kBootFirmwareVersion) return;
        form.Dialog().Information(form.Tr(kOutdatedFirmwareMessage));
        Identify(form, Step::kMainFirmwareNumber, std::move(outcome.identity));
      });
}

void Search(MainForm& form) {
  form.RunJob<discovery::SearchResult>(
      [&form](printer::Session& session) {
        return discovery::SearchPrinter(session, [&form] { return form.ListedPorts(); });
      },
      [&form](discovery::SearchResult result) {
        form.ApplySearchResult(result);
        if (!result.printer) {
          // A printer left in its bootloader answers no search: the way back is offered
          // here, where its user ends up.
          if (form.Dialog().ErrorQuestion(NotFoundMessage(result.unopened, form.Translation()),
                                          form.Tr(kRecoveryOffer))) {
            RecoverFirmware(form);
          }
          return;
        }
        form.Dialog().Information(
            FoundMessage(result.printer->port, result.printer->baud, form.Translation()));
        Identify(form, Step::kModel, {});
      });
}

void ConnectManually(MainForm& form) {
  WindowState& window = form.Window();
  const int index = window.SelectedIndex("ComboBox1");
  const auto items = window.Items("ComboBox1");
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  const std::string port = items[static_cast<std::size_t>(index)];
  form.RunJob<discovery::ConnectResult>(
      [port](printer::Session& session) { return discovery::ConnectManually(session, port); },
      [&form, port](discovery::ConnectResult result) {
        if (result.opened != link::Status::kOk) {
          // Reported, not passed off as a printer found: nothing changes in the window.
          form.Dialog().Error(
              OpenFailureText(port, result.reason, result.detail, form.Translation()));
          return;
        }
        form.Dialog().Information(FoundMessage(port, result.baud, form.Translation()));
        for (const char* name : kEnabledByManualConnection) form.Window().SetEnabled(name, true);
      });
}

void SwitchPaperWidth(MainForm& form, service::PaperWidth width) {
  // A radio button checked while a result is shown is the result, not the user's click.
  if (form.ApplyingResult()) return;
  form.RunJob<std::optional<service::PaperWidth>>(
      [width](printer::Session& session) { return service::SwitchPaperWidth(session, width); },
      [&form](std::optional<service::PaperWidth> reported) { form.ApplyPaperWidth(reported); });
}

}  // namespace

void MainForm::ApplySearchResult(const discovery::SearchResult& result) {
  if (!result.printer) return;
  Applying applying(*this);
  window_.SetChecked("RadioButton80mm", true);
  for (const char* name : kEnabledByTheSearch) window_.SetEnabled(name, true);
  window_.SetSelectedIndex("ComboBox1", static_cast<int>(result.printer->index));
}

void MainForm::ApplyIdentifyStep(Step step, const discovery::Identity& id) {
  Applying applying(*this);
  if (const char* label = LabelOf(step)) {
    ShowValue(window_, label, discovery::StepValueText(step, id));
    return;
  }
  if (step == Step::kModelSettings) {
    if (!id.model) return;
    if (!id.referenceModel) {
      window_.SetEnabled("Button18", true);
      return;
    }
    for (const char* name : kReferenceModelButtons) window_.SetEnabled(name, true);
    if (id.cutLine) {
      window_.SetPosition("TrackBar1", *id.cutLine);
      window_.SetEnabled("Button15", true);
    }
    if (id.density) {
      window_.SetPosition("TrackBar2", *id.density);
      window_.SetEnabled("Button16", true);
    }
    return;
  }
  // The paper width.
  if (id.paperWidth == service::PaperWidth::kUnknown) {
    window_.SetEnabled("RadioButton80mm", true);
    window_.SetEnabled("RadioButton57mm", false);
    return;
  }
  window_.SetEnabled("RadioButton80mm", true);
  window_.SetEnabled("RadioButton57mm", true);
  if (id.paperWidth == service::PaperWidth::k80mm) {
    window_.SetChecked("RadioButton80mm", true);
  } else if (id.paperWidth == service::PaperWidth::k57mm) {
    window_.SetChecked("RadioButton57mm", true);
    ApplyPaperWidth(id.paperWidthAfterSwitch);
  } else {
    window_.SetEnabled("RadioButton80mm", false);
    window_.SetEnabled("RadioButton57mm", false);
  }
}

void MainForm::ApplyPaperWidth(std::optional<service::PaperWidth> reported) {
  if (!reported) return;
  Applying applying(*this);
  switch (*reported) {
    case service::PaperWidth::kUnknown:
      window_.SetEnabled("RadioButton80mm", true);
      window_.SetEnabled("RadioButton57mm", false);
      window_.SetChecked("RadioButton80mm", true);
      window_.SetEnabled("Button21", true);
      break;
    case service::PaperWidth::k80mm:
      window_.SetEnabled("RadioButton80mm", true);
      window_.SetEnabled("RadioButton57mm", true);
      window_.SetChecked("RadioButton80mm", true);
      window_.SetEnabled("Button21", true);
      break;
    case service::PaperWidth::k57mm:
      window_.SetEnabled("RadioButton80mm", true);
      window_.SetEnabled("RadioButton57mm", true);
      window_.SetChecked("RadioButton57mm", true);
      window_.SetEnabled("Button21", false);
      break;
    case service::PaperWidth::kOther:
      window_.SetEnabled("RadioButton80mm", false);
      window_.SetEnabled("RadioButton57mm", false);
      break;
  }
}

void RegisterDiscoveryHandlers(MainForm& form) {
  // Button7Click: the port list is read anew before every search.
  form.SetHandler("Button7", [&form] {
    form.FormCreate();
    Search(form);
  });
  form.SetHandler("Button11", [&form] { ConnectManually(form); });
  // Button11 is usable while ComboBox1 has a selected port.
  form.Window().SetChangeAction("ComboBox1", [&form] {
    form.Window().SetEnabled("Button11", form.Window().SelectedIndex("ComboBox1") >= 0);
  });
  // The paper-width actions run whenever the user checks a radio button.
  form.Window().SetClickAction("RadioButton80mm",
                               [&form] { SwitchPaperWidth(form, service::PaperWidth::k80mm); });
  form.Window().SetClickAction("RadioButton57mm",
                               [&form] { SwitchPaperWidth(form, service::PaperWidth::k57mm); });
  form.SetHandler("Button23", [&form] {
    form.RunJob([](printer::Session& session) { service::CheckPaperWidthSwitch(session); });
  });
}

}  // namespace zelka::form
