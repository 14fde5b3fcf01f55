// The graphics actions over a simulated printer: bitmap files in a temporary directory of
// the test's own, chosen through the fake file dialog.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "graphics/bitmap_maker.h"
#include "sim/command_parser.h"
#include "support/form_fixture.h"

namespace zelka::testing {

class GraphicsFixture : public FormFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A form whose printer is the simulated one, found at its rate.
  void MakePrinterForm();
  // Writes `bytes` to a file of that name in the test's directory; returns its path.
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  std::string PathOf(const std::string& name) const;
  // The next file dialog answers with `path`.
  void Choose(const std::string& path) { dialogs.fileAnswers.push_back(path); }
  // The printer's log once it holds `count` commands (garbage left out).
  std::vector<sim::LogEntry> CommandsOnceThere(std::size_t count);

  std::filesystem::path dir;
};

// A copy of `file` with the 32-bit field at `at` set to `value`.
std::vector<std::uint8_t> WithLe32(std::vector<std::uint8_t> file, std::size_t at,
                                   std::uint32_t value);
// A copy of `file` padded with zeros to `length` bytes; the size field follows.
std::vector<std::uint8_t> PaddedTo(std::vector<std::uint8_t> file, std::size_t length);

}  // namespace zelka::testing
