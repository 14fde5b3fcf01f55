// The picture print and the stored logo.
#include <optional>
#include <string>
#include <utility>

#include "discovery/identity_words.h"
#include "form/main_form.h"
#include "graphics/logo_store.h"
#include "graphics/messages.h"
#include "graphics/picture_options.h"
#include "graphics/picture_print.h"
#include "service/service_actions.h"

namespace zelka::form {

namespace {

// The picture dialog's filter: two spaces after the first word, then the patterns of the
// pictures that are converted to dots (BMP of any depth, PNG, JPEG, GIF).
constexpr char kBitmapFilter[] = QT_TRANSLATE_NOOP(
    "Messages", "Файлы  (*.bmp *.png *.jpg *.jpeg *.gif) | *.BMP *.PNG *.JPG *.JPEG *.GIF");

// The paper the window is set to, for the conversion of a picture that is wider.
int PaperDots(const WindowState& window) {
  return window.Checked("RadioButton57mm") ? graphics::kPaperDots57mm : graphics::kPaperDots80mm;
}

// The picture dialog for the window's paper; the options of the user's choice.
std::optional<std::pair<std::string, graphics::ConversionOptions>> ChoosePicture(MainForm& form) {
  const int paperDots = PaperDots(form.Window());
  std::optional<Dialogs::PictureChoice> choice =
      form.Dialog().ChoosePicture(form.Tr(kBitmapFilter), paperDots);
  if (!choice) return std::nullopt;
  return std::pair{std::move(choice->path), graphics::ConversionOptions{
                                                .paperDots = paperDots,
                                                .threshold = choice->threshold}};
}

// Label4 after a logo state query; false when the printer did not answer.
bool ShowLogoState(WindowState& window, const service::StateReading& reading) {
  if (!reading.bitSet) {
    window.SetValue("Label4", discovery::kNoData, kRedColour);
    return false;
  }
  window.SetValue("Label4", *reading.bitSet ? discovery::kLogoStored : discovery::kLogoAbsent,
                  kWindowTextColour);
  return true;
}

// One of graphics' fixed texts in the user's language.
std::string GraphicsText(const MainForm& form, const char* text) {
  return form.Tr(text, graphics::kMessagesContext);
}

bool PortFailed(const printer::Result& result) {
  return result.problem == printer::Problem::kNoPrinter ||
         result.problem == printer::Problem::kCannotOpen;
}

void PrintPicture(MainForm& form) {
  const auto chosen = ChoosePicture(form);
  if (!chosen) return;
  auto picture = std::make_shared<graphics::Picture>();
  if (const auto error = graphics::LoadPicture(chosen->first, *picture, chosen->second);
      error != graphics::BitmapError::kNone) {
    form.Dialog().Error(
        graphics::BitmapErrorText(error, graphics::kPictureBufferSize, form.Translation()));
    return;
  }
  form.RunJob<graphics::PictureSent>(
      [picture](printer::Session& session) { return graphics::SendPicture(session, *picture); },
      [&form](graphics::PictureSent sent) {
        if (PortFailed(sent.result)) {
          form.Dialog().Error(GraphicsText(form, graphics::kPicturePortFailed));
          return;
        }
        if (!sent.result.Ok()) {
          form.Dialog().Error(graphics::PictureSendFailedText(sent.rowsSent + 1, sent.rows,
                                                               form.Translation()));
          return;
        }
        // The paper is fed and cut once the box is closed; the printer is free meanwhile.
        form.Dialog().Information(GraphicsText(form, graphics::kPicturePrinted));
        form.RunJob<printer::Result>(graphics::FinishPicture, {});
      });
}

void LoadLogo(MainForm& form) {
  const auto chosen = ChoosePicture(form);
  if (!chosen) return;
  auto logo = std::make_shared<graphics::Logo>();
  if (const auto error = graphics::LoadLogo(chosen->first, *logo, chosen->second);
      error != graphics::BitmapError::kNone) {
    form.Dialog().Error(
        graphics::BitmapErrorText(error, graphics::kLogoFileLimit, form.Translation()));
    return;
  }
  form.RunJob<printer::Result>(
      [logo](printer::Session& session) { return graphics::SendLogo(session, *logo); },
      [&form](printer::Result result) {
        if (PortFailed(result)) {
          form.Dialog().Error(GraphicsText(form, graphics::kLogoPortFailed));
          return;
        }
        if (result.Ok()) {
          form.Dialog().Information(GraphicsText(form, graphics::kLogoLoaded));
        } else {
          // Part of the file may have gone out: the state query tells what the printer
          // made of it.
          form.Dialog().Error(GraphicsText(form, graphics::kLogoSendFailed));
        }
        form.RunJob<service::StateReading>(graphics::ReadLogoState, [&form](service::StateReading r) {
          if (!ShowLogoState(form.Window(), r)) {
            form.Dialog().Information(GraphicsText(form, graphics::kPowerCycleAdvice));
          }
        });
      });
}

}  // namespace

void RegisterGraphicsHandlers(MainForm& form) {
  form.SetHandler("Button3", [&form] { PrintPicture(form); });
  form.SetHandler("Button8", [&form] { LoadLogo(form); });
  form.SetHandler("Button9", [&form] {
    form.RunJob<service::StateReading>(graphics::EraseLogo, [&form](service::StateReading r) {
      ShowLogoState(form.Window(), r);
    });
  });
}

}  // namespace zelka::form
