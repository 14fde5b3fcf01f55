// The identity records of a search as the client receives them.
#pragma once

#include <optional>
#include <string>

#include "discovery/identity.h"

namespace zelka::remote {

// "SVE" + the record's number in four digits + "E" + the value, or + "D" + "Нет данных"
// when its query failed; nothing for a step that is not one of the ten records. Bytes
// below 0x20 in a value (a printer's text is the printer's to choose) become "?", so
// that no value can end its line early and pass for a record of its own.
std::optional<std::string> IdentityRecord(discovery::Step step, const discovery::Identity& identity);

}  // namespace zelka::remote
