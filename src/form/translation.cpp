#include "form/translation.h"

#include "form/control_table.h"

namespace zelka::form {

namespace {

// The identity's words (discovery/identity_words.h) that the value labels show. The
// remote records carry them in Russian whatever the window's language, so discovery keeps
// them untranslated; they are marked here for the catalogue.
constexpr const char* kValueWords[] = {
    QT_TRANSLATE_NOOP("Window", "Нет данных"), QT_TRANSLATE_NOOP("Window", "есть"),
    QT_TRANSLATE_NOOP("Window", "отсутствует"), QT_TRANSLATE_NOOP("Window", "Закрыт"),
    QT_TRANSLATE_NOOP("Window", "Открыт"),     QT_TRANSLATE_NOOP("Window", "Загружен"),
    QT_TRANSLATE_NOOP("Window", "Отсутствует"),
};

}  // namespace

std::string Translate(const Translator& translate, const char* context, const char* source) {
  if (!translate) return source;
  return translate(context, source);
}

std::string Substitute(const std::string& text, const std::vector<std::string>& arguments) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < arguments.size()) {
        result += arguments[n];
        ++i;
        continue;
      }
    }
    result += c;
  }
  return result;
}

const std::vector<std::string>& WindowTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> all = {kMainCaption, kBaudDialogCaption};
    for (const ControlSpec& control : MainWindowControls()) all.push_back(control.state.caption);
    for (const ControlSpec& control : BaudDialogControls()) all.push_back(control.state.caption);
    all.insert(all.end(), std::begin(kValueWords), std::end(kValueWords));
    return all;
  }();
  return texts;
}

}  // namespace zelka::form
