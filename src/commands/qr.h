// QR codes: the printer builds the symbol itself (GS ( k, symbol type 49); the program
// only sends the settings, the data and the print request. No reply is read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commands/frames.h"
#include "link/serial_link.h"

namespace zelka::commands {

using link::StatusCode;

// GS ( k pL pH 49 fn ...: the 2D-code command with symbol type 49 (QR Code).
inline constexpr std::array<Byte, 3> kQrCommandHead = {kGs, 0x28, 0x6B};
// fn 67: module size 6 dots.
inline constexpr std::array<Byte, 8> kQrModuleSize = {kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x06};
// fn 69: error correction level 48, that is L (about 7 % recovery).
inline constexpr std::array<Byte, 8> kQrErrorCorrection = {kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45, 0x30};
// fn 81, m 48: print the stored symbol.
inline constexpr std::array<Byte, 8> kQrPrint = {kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30};
// fn 80, m 48: the store-data frame after its length bytes pL pH.
inline constexpr std::array<Byte, 3> kQrStoreTail = {0x31, 0x50, 0x30};
inline constexpr std::size_t kQrStoreHeaderLength = 8;
// cn fn m: the bytes that pL pH count besides the data.
inline constexpr std::size_t kQrStoreCountedOverhead = 3;

// The most data bytes one symbol gets; longer text is cut after its last whole character.
inline constexpr std::size_t kQrMaxDataBytes = 50;
inline constexpr std::size_t kQrWorkAreaSize = 500;

// The fixed text of the sample symbol: 36 characters, 50 bytes in UTF-8.
inline constexpr std::string_view kQrSamplePayload = "Зелька Принтерс 2024 www.zelka.local";

// Where StoreQrData encodes its text; zero-filled by every call. Guarded by the link lock.
extern std::uint8_t QrWorkArea[kQrWorkAreaSize];

// Sends the store-data frame for `text` (UTF-8) over the open port: at most
// kQrMaxDataBytes bytes, never half a character. Does not print. Always 0.
StatusCode StoreQrData(std::string_view text);

// Button19: opens the printer's port (2000 ms), sends module size, error correction, the
// sample text, the print request, ESC d 7 and ESC i, and closes the port. Takes the link
// lock itself; nothing is reported. Always 0.
StatusCode PrintSampleQrCode();

}  // namespace zelka::commands
