#include <QLocale>

#include <cstdlib>

#include "app/language.h"

namespace zelka::app {

std::string MessagesLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return QLocale::system().name().toStdString();
}

}  // namespace zelka::app
