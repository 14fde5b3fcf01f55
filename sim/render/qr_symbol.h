// QR symbols as the printer builds them from its symbol storage area (GS ( k, fn 80),
// drawn with the module size of fn 67 and the error correction level of fn 69.
#pragma once

#include <QImage>

#include <cstdint>
#include <span>

namespace zelka::sim {

enum class QrErrorCorrection { L, M, Q, H };

// The symbol with each module `moduleDots` square dots, without a quiet zone (the paper
// around it is one). A null image when the data do not fit any symbol or are empty.
QImage BuildQrSymbol(std::span<const std::uint8_t> data, int moduleDots, QrErrorCorrection level);

}  // namespace zelka::sim
