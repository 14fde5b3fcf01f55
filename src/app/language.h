// The window's language: Russian (the texts as written, with Qt's own Russian catalogue
// for the toolkit's buttons and dialogs) or English (the catalogue translations/zelka_en.ts;
// Qt speaks English by itself). Both catalogues are compiled into the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "form/translation.h"

namespace zelka::app {

enum class Language { kRussian, kEnglish };

// "ru" or "en" (the --lang values); nothing for anything else.
std::optional<Language> LanguageNamed(std::string_view code);

// The window's language: the --lang value when there is one; otherwise the locale's
// (e.g. "de_DE.UTF-8", "ru_RU", "C"): English for any language but Russian, Russian for
// Russian and for no language at all ("", "C", "POSIX"), as the program always spoke.
Language ChooseLanguage(const std::optional<std::string>& option, const std::string& localeName);

// The locale the system asks messages in: on POSIX systems LC_ALL, LC_MESSAGES, LANG, the
// first that is set, else the system's locale; on Windows the user's display language
// ("ru-RU"). One file per platform (language_posix.cpp, language_windows.cpp).
std::string MessagesLocaleName();

// Loads the language's catalogue into the application (Russian: Qt's; English: the
// window's) and keeps it there until RemoveLanguage or the end. False when the catalogue
// cannot be loaded.
bool InstallLanguage(Language language);
void RemoveLanguage();

// The form's translator: Qt's translation of `source` in `context`, as UTF-8; the source
// itself when no catalogue holds it.
std::string TranslateText(const char* context, const char* source);
inline form::Translator QtTranslator() { return TranslateText; }

}  // namespace zelka::app
