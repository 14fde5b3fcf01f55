#include <windows.h>

#include <QString>

#include "app/language.h"

namespace zelka::app {

// The language the user reads Windows in (Settings, "Windows display language"), not the
// formats of the region: a Russian technician on an English-formatted PC reads Russian.
std::string MessagesLocaleName() {
  const LANGID language = GetUserDefaultUILanguage();
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
    return QString::fromWCharArray(name).toStdString();
  }
  return PRIMARYLANGID(language) == LANG_RUSSIAN ? "ru" : "en";
}

}  // namespace zelka::app
