#include "firmware/firmware_file.h"

#include <array>
#include <span>

#include "files/regular_file.h"

namespace zelka::firmware {
namespace {

FileProblem ProblemOf(files::FileError error) {
  switch (error) {
    case files::FileError::kNone: return FileProblem::kNone;
    case files::FileError::kDoesNotExist: return FileProblem::kDoesNotExist;
    case files::FileError::kNotRegular: return FileProblem::kNotAFile;
    case files::FileError::kUnreadable: break;
  }
  return FileProblem::kUnreadable;
}

}  // namespace

FirmwareFileRead ReadFirmwareFile(const std::string& utf8Path, FirmwareImage& image) {
  image.bytes.clear();
  FirmwareFileRead read;
  files::RegularFile file;
  read.problem = ProblemOf(file.Open(utf8Path));
  if (read.problem != FileProblem::kNone) return read;
  read.length = file.Length();
  // Refused on its length alone: nothing of a file the flash cannot take is read.
  if (read.length > kMaxImageBytes) {
    read.problem = FileProblem::kTooLarge;
    return read;
  }
  if (read.length == 0) {
    read.problem = FileProblem::kEmpty;
    return read;
  }
  image.bytes.resize(static_cast<std::size_t>(read.length));
  // One byte more than the length asks whether the file grew while it was read: what was
  // read might then be half of the old content and half of the new.
  std::array<std::uint8_t, 1> beyond{};
  if (!file.Read(image.bytes) || file.Read(beyond)) {
    image.bytes.clear();
    read.problem = FileProblem::kUnreadable;
  }
  return read;
}

}  // namespace zelka::firmware
