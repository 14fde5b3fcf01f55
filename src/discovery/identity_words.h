// The identity's values in the words the printer's users know (Russian), as the window's
// labels and the remote records show them.
#pragma once

#include <optional>
#include <string>

#include "discovery/identity.h"

namespace zelka::discovery {

inline constexpr const char* kNoData = "Нет данных";
inline constexpr const char* kPaperPresent = "есть";
inline constexpr const char* kPaperAbsent = "отсутствует";
inline constexpr const char* kDrawerClosed = "Закрыт";
inline constexpr const char* kDrawerOpen = "Открыт";
inline constexpr const char* kLogoStored = "Загружен";
inline constexpr const char* kLogoAbsent = "Отсутствует";

// The value of one of the ten record steps (kModel .. kBuildDate) as text; nothing when
// its query failed (or for any other step).
std::optional<std::string> StepValueText(Step step, const Identity& identity);

}  // namespace zelka::discovery
