#include "app/language.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cctype>
#include <memory>

namespace zelka::app {

namespace {

// Where the build puts the compiled catalogues (qt_add_translations' resource prefix, and
// Qt's own Russian catalogue beside them).
constexpr char kCatalogueDirectory[] = ":/i18n";

// The one catalogue each language needs. The window's texts are written in Russian and
// Qt's in English, so Russian needs Qt's translation (Yes/No, the file dialogs) and
// English the window's.
const char* CatalogueOf(Language language) {
  return language == Language::kRussian ? "qtbase_ru" : "zelka_en";
}

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

std::optional<Language> LanguageNamed(std::string_view code) {
  if (code == "ru") return Language::kRussian;
  if (code == "en") return Language::kEnglish;
  return std::nullopt;
}

Language ChooseLanguage(const std::optional<std::string>& option, const std::string& localeName) {
  if (option) {
    if (const auto named = LanguageNamed(*option)) return *named;
  }
  // "ll_CC.codeset@modifier" (or "ll-CC" as some systems write it): the language is ll.
  std::string language = localeName.substr(0, localeName.find_first_of("_.@-"));
  for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (language.empty() || language == "c" || language == "posix" || language == "ru") {
    return Language::kRussian;
  }
  return Language::kEnglish;
}

bool InstallLanguage(Language language) {
  RemoveLanguage();
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromLatin1(CatalogueOf(language)),
                        QString::fromLatin1(kCatalogueDirectory))) {
    return false;
  }
  QCoreApplication::installTranslator(translator.get());
  Installed() = std::move(translator);
  return true;
}

void RemoveLanguage() {
  if (!Installed()) return;
  QCoreApplication::removeTranslator(Installed().get());
  Installed().reset();
}

std::string TranslateText(const char* context, const char* source) {
  return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace zelka::app
