// The printer's command set as the program uses it: each operation writes its frame into
// TxBuffer, sends it and reads the reply's exact length.
//
// Except for the one-shot actions, nothing here opens or closes the port: the caller has
// opened it and closes it, and holds the link lock (link/link_lock.h). An operation that
// reads a reply returns the status of its ReceiveRx (the text queries return 1 for every
// failed read); one without a reply returns the status of its SendTx. One-byte replies are
// left in RxBuffer[0].
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "commands/frames.h"
#include "link/serial_link.h"

namespace zelka::commands {

using link::StatusCode;

// QueryDrawerStatus: the printer answered 0xFF, which means it does not know.
inline constexpr StatusCode kDrawerStatusUnknown = 777;

// Selector of QueryFirmwareNumber and QueryFirmwareVersion: 1 = boot firmware, any other
// value = main firmware.
inline constexpr int kBootFirmware = 1;
inline constexpr int kMainFirmware = 0;

// Text queries: 0 and the reply text (8-bit, up to its first zero byte), or 1 with `text`
// left as it was.
StatusCode QueryModelName(std::string& text);
StatusCode QuerySerialNumber(std::string& text);
StatusCode QueryFirmwareNumber(int which, std::string& text);
StatusCode QueryFirmwareVersion(int which, std::string& text);
StatusCode QueryBuildDate(std::string& text);

// One-byte queries; the byte is RxBuffer[0].
StatusCode QueryInfoByte(Byte n);       // GS I n
StatusCode QueryStatusByte(Byte n);     // GS r n
StatusCode QueryPaperSensor();          // GS r 1
StatusCode QueryPaperStatus();          // ESC v
StatusCode QueryDrawerStatus(Byte n);   // ESC u n; 777 for the reply 0xFF
StatusCode ReadPrinterParameter(Byte n);            // US 0x07 n
StatusCode WritePrinterParameter(Byte n, Byte v);   // US 0x03 n v, reply not interpreted

// Commands without a reply.
StatusCode FeedLines(Byte n);                 // ESC d n
StatusCode CutPaper();                        // ESC i
StatusCode SetCharacterSize(Byte n);          // GS ! n
StatusCode SetPrintMode(Byte n);              // ESC ! n
StatusCode MoveRelative(Byte nL, Byte nH);    // ESC \ nL nH

// Sends `frame` as it is (the frames that handlers build directly).
StatusCode SendFrame(std::span<const Byte> frame);
// US 0x03 n v without reading the reply (the settings buttons).
StatusCode SendParameterWrite(Byte n, Byte v);
// US 0x02 00 c 00 00 03 00 with c = BaudCode(baud).
StatusCode SendPrinterBaudRate(int baud);

// One-shot actions: each opens CurrentPortName at CurrentBaud with its own read time-out,
// sends one frame, closes the port and returns 0 whatever happened. Each takes the link
// lock itself.
StatusCode FeedOneLine();      // LF, 500 ms
StatusCode PrintStoredLogo();  // GS / 0, 500 ms
StatusCode KickDrawer();       // ESC p 0 150 150, 1000 ms, then waits 300 ms

}  // namespace zelka::commands
