// One printed receipt: the paper from the previous cut to this one.
#pragma once

#include <QImage>

#include <string>
#include <vector>

namespace zelka::sim {

// Dots across the printable width of each paper.
inline constexpr int kPaper80mmDots = 576;
inline constexpr int kPaper57mmDots = 384;

struct ReceiptImage {
  // One pixel per dot, black on white, exactly as wide as the paper's printable width.
  QImage image;
  // The text of every printed text line, top to bottom, in UTF-8 as it was printed
  // (spaces kept). A line that ran past the paper's width and went on in the next one
  // counts as two.
  std::vector<std::string> lines;
};

}  // namespace zelka::sim
