// The identification: on the port the search found, the printer's identity and state,
// query by query, into the labels of "Параметры устройства" (and, for a remote request,
// into identity records).
#pragma once

#include <string>

#include "discovery/auto_detect.h"

namespace zelka::discovery {

inline constexpr const char* kNoData = "Нет данных";
inline constexpr const char* kReferenceModel = "Printer Zelka";
// Boot firmware versions that sort below this one are outdated.
inline constexpr const char* kOldestCurrentBootVersion = "1.02";
inline constexpr const char* kOutdatedFirmwareMessage =
    "Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.\n";

// True when `version` sorts before "1.02" byte by byte (a prefix sorts first).
bool IsOutdatedBootVersion(const std::string& version);
// The model text without leading and trailing bytes of code 32 or less.
std::string TrimControlAndSpace(const std::string& text);

// Runs on CurrentPortName at CurrentBaud; the caller holds the link lock.
void IdentifyPrinter(seams::Context& context, int AMode, RecordWriter* AContext);

}  // namespace zelka::discovery
