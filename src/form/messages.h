// The texts the window shows in its message boxes.
#pragma once

#include <string>
#include <vector>

#include "discovery/search.h"
#include "printer/result.h"

namespace zelka::form {

inline constexpr const char* kOutdatedFirmwareMessage =
    "Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.\n";
inline constexpr const char* kPrinterHealthyMessage = "Принтер исправен";
inline constexpr const char* kPrinterNotFound = "Принтер не найден";

// "Принтер чеков найден на PORT на скорости BAUD".
std::string FoundMessage(const std::string& port, int baud);
// Why a port could not be opened, in a few words, with what to do about it.
std::string OpenFailureText(const std::string& port, link::OpenFailure reason,
                            const std::string& detail);
// A search that found nothing: kPrinterNotFound and every port that could not be opened.
std::string NotFoundMessage(const std::vector<discovery::PortProblem>& unopened);

}  // namespace zelka::form
