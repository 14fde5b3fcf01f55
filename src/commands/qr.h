// QR codes: the printer builds the symbol itself (GS ( k, symbol type 49); the program
// only sends the settings, the data and the print request. No reply is read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "commands/frames.h"
#include "link/serial_link.h"

namespace zelka::commands {

using link::Status;

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

// The most data bytes the window's symbol gets; longer text is cut after its last whole
// character (its store frame keeps pH at 0).
inline constexpr std::size_t kQrMaxDataBytes = 50;
// The most data bytes the store function takes at all (pL + pH * 256 = k + 3): a payload
// of a caller's own, such as a fiscal receipt's link, is stored whole up to this length.
inline constexpr std::size_t kQrMaxPayloadBytes = 7089;

// The fixed text of the sample symbol: 36 characters, 50 bytes in UTF-8.
inline constexpr std::string_view kQrSamplePayload = "Зелька Принтерс 2024 www.zelka.local";

// Sends the store-data frame for `text` (UTF-8) over the open link: at most
// kQrMaxDataBytes bytes, never half a character. Does not print.
Status StoreQrData(link::SerialLink& link, std::string_view text);

// Module size, error correction, the store-data frame for `text`, the print request,
// ESC d 7 and ESC i, over the open link. Nothing is read back.
void PrintQrCode(link::SerialLink& link, std::string_view text);

// Module size, error correction, a store-data frame that carries all of `payload` (its
// length in pL and pH), and the print request, over the open link; no feed, no cut. The
// first write that does not go out whole ends it with its status. A payload longer than
// kQrMaxPayloadBytes, or empty, sends nothing (kWriteShort): callers refuse it first.
Status PrintQrPayload(link::SerialLink& link, std::span<const std::uint8_t> payload);

}  // namespace zelka::commands
