// The texts the window shows in its message boxes, in Russian (the catalogue's source
// texts). The functions that build a text take the window's translator: they translate
// the template and fill in the numbers and port names afterwards.
#pragma once

#include <string>
#include <vector>

#include "discovery/search.h"
#include "firmware/board_check.h"
#include "form/translation.h"
#include "printer/result.h"

namespace zelka::form {

inline constexpr const char* kOutdatedFirmwareMessage = QT_TRANSLATE_NOOP(
    "Messages", "Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.\n");
inline constexpr const char* kPrinterHealthyMessage =
    QT_TRANSLATE_NOOP("Messages", "Принтер исправен");
inline constexpr const char* kPrinterNotFound = QT_TRANSLATE_NOOP("Messages", "Принтер не найден");
// The question that ends "Принтер не найден": the way back for a printer whose update
// stopped half-way.
inline constexpr const char* kRecoveryOffer = QT_TRANSLATE_NOOP(
    "Messages",
    "Если обновление прошивки было прервано, принтер может ждать в загрузчике: восстановить "
    "прошивку?");
// A firmware file built for board %1 where board %2 is.
inline constexpr const char* kBoardMismatchMessage = QT_TRANSLATE_NOOP(
    "Messages",
    "Внимание!!! Данная версия прошивки(версия %1) не соответствует текущей версии платы(версия "
    "%2).");

// "Принтер чеков найден на PORT на скорости BAUD".
std::string FoundMessage(const std::string& port, int baud, const Translator& translate = {});
// Why a port could not be opened, in a few words, with what to do about it.
std::string OpenFailureText(const std::string& port, link::OpenFailure reason,
                            const std::string& detail, const Translator& translate = {});
// A search that found nothing: kPrinterNotFound and every port that could not be opened.
std::string NotFoundMessage(const std::vector<discovery::PortProblem>& unopened,
                            const Translator& translate = {});

// The board check's refusal (check.refusal must hold one) in the user's language, for a
// file made for board `fileBoard`.
std::string BoardRefusalText(const firmware::BoardCheck& check, std::uint8_t fileBoard,
                             const Translator& translate = {});

}  // namespace zelka::form
