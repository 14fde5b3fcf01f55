// The printer's command set as the program uses it: each operation builds its frame in
// the link's transmit buffer, sends it and reads the reply's exact length.
//
// Nothing here opens or closes the port: the caller has opened the link and closes it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "commands/frames.h"
#include "link/serial_link.h"

namespace zelka::commands {

using link::SerialLink;
using link::Status;

enum class Firmware { kBoot, kMain };

// Text queries: the reply text (8-bit, up to its first zero byte), or nothing when the
// reply did not come whole.
std::optional<std::string> QueryModelName(SerialLink& link);
std::optional<std::string> QuerySerialNumber(SerialLink& link);
std::optional<std::string> QueryFirmwareNumber(SerialLink& link, Firmware which);
std::optional<std::string> QueryFirmwareVersion(SerialLink& link, Firmware which);
std::optional<std::string> QueryBuildDate(SerialLink& link);

// One-byte queries: the reply byte, or nothing when it did not come.
std::optional<Byte> QueryInfoByte(SerialLink& link, Byte n);    // GS I n
std::optional<Byte> QueryStatusByte(SerialLink& link, Byte n);  // GS r n
std::optional<Byte> QueryPaperSensor(SerialLink& link);         // GS r 1
std::optional<Byte> QueryPaperStatus(SerialLink& link);         // ESC v
// ESC u n; the reply 0xFF (the printer does not know) is nothing too.
std::optional<Byte> QueryDrawerStatus(SerialLink& link, Byte n);
std::optional<Byte> ReadPrinterParameter(SerialLink& link, Byte n);           // US 0x07 n
// US 0x03 n v, then its reply byte (not interpreted).
std::optional<Byte> WritePrinterParameter(SerialLink& link, Byte n, Byte v);

// Commands without a reply.
Status FeedLines(SerialLink& link, Byte n);               // ESC d n
Status CutPaper(SerialLink& link);                        // ESC i
Status SetCharacterSize(SerialLink& link, Byte n);        // GS ! n
Status SetPrintMode(SerialLink& link, Byte n);            // ESC ! n
Status MoveRelative(SerialLink& link, Byte nL, Byte nH);  // ESC \ nL nH
// US 0x03 n v without reading the reply (the settings buttons).
Status SendParameterWrite(SerialLink& link, Byte n, Byte v);
// US 0x02 00 c 00 00 03 00 with c = BaudCode(baud).
Status SendPrinterBaudRate(SerialLink& link, int baud);

}  // namespace zelka::commands
