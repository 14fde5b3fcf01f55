#include "cli/input_files.h"

#include <vector>

#include <QJsonObject>

#include "cli/script_inputs.h"
#include "files/regular_file.h"
#include "files/replaced_file.h"
#include "graphics/picture_options.h"
#include "graphics/picture_preview.h"

namespace zelka::cli {

namespace {

std::string FileErrorReason(files::FileError error) {
  switch (error) {
    case files::FileError::kNone: break;
    case files::FileError::kDoesNotExist: return "no such file";
    case files::FileError::kNotRegular: return "not a regular file (a directory, pipe or device)";
    case files::FileError::kUnreadable: return "cannot be read (permission or I/O error)";
  }
  return {};
}

const char* ForeignFormatWords(firmware::ForeignFormat format) {
  using firmware::ForeignFormat;
  switch (format) {
    case ForeignFormat::kNone: break;
    case ForeignFormat::kPngPicture: return "a PNG picture";
    case ForeignFormat::kJpegPicture: return "a JPEG picture";
    case ForeignFormat::kGifPicture: return "a GIF picture";
    case ForeignFormat::kBmpPicture: return "a BMP picture";
    case ForeignFormat::kZipArchive: return "a ZIP archive";
    case ForeignFormat::kPdfDocument: return "a PDF document";
  }
  return "a file of another kind";
}

// The text is read while it prints (see TextInput); its file is opened and checked now.
int OpenText(Context& context) {
  const auto& arguments = context.invocation.arguments;
  if (arguments.empty() || arguments.front() == "-") {
    context.inputs.text = std::make_unique<TextInput>(context.in);
    return 0;
  }
  const std::string& name = arguments.front();
  auto file = std::make_unique<files::RegularFile>();
  if (const files::FileError error = file->Open(name); error != files::FileError::kNone) {
    return context.output.Fail(ExitCode::kFileRefused,
                               name + ": " + FileErrorReason(error) + "; name a readable text file");
  }
  context.inputs.text = std::make_unique<TextInput>(std::move(file));
  return 0;
}

int RefuseBitmap(Context& context, graphics::BitmapError error) {
  return context.output.Fail(ExitCode::kFileRefused, context.invocation.arguments.front() + ": " +
                                                         BitmapErrorReason(error));
}

// With --preview, the dots go to a PNG file and the command ends here, before any port
// is opened.
int WritePreview(Context& context, const QImage& dots) {
  const auto& preview = context.invocation.preview;
  if (!preview) return 0;
  const files::WriteResult written = graphics::WritePreviewPng(dots, *preview);
  if (written.error == files::WriteError::kNotRegular) {
    return context.output.Fail(ExitCode::kFileRefused,
                               *preview + ": not a regular file (a pipe, device or directory); "
                                          "name a new file or a regular one");
  }
  if (!written.Ok()) {
    return context.output.Fail(ExitCode::kFileRefused,
                               *preview + ": " + BitmapErrorReason(graphics::BitmapError::kCannotWrite) +
                                   ": " + written.systemReason);
  }
  QJsonObject fields;
  fields.insert(QStringLiteral("preview"), QString::fromStdString(*preview));
  fields.insert(QStringLiteral("width"), dots.width());
  fields.insert(QStringLiteral("height"), dots.height());
  context.output.Result("Preview written to " + *preview + " (" + std::to_string(dots.width()) +
                            " x " + std::to_string(dots.height()) + " dots)\n",
                        fields);
  return kPreviewWritten;
}

}  // namespace

std::string BitmapErrorReason(graphics::BitmapError error) {
  using graphics::BitmapError;
  switch (error) {
    case BitmapError::kNone: break;
    case BitmapError::kDoesNotExist: return "no such file";
    case BitmapError::kCannotRead:
      return "cannot be read: not a regular file, or no permission to read it";
    case BitmapError::kTooLarge: return "the file is too large for the printer's buffer";
    case BitmapError::kNotBitmap: return "not a BMP file";
    case BitmapError::kTruncatedHeader: return "the BMP header is cut short";
    case BitmapError::kUnsupportedHeader: return "the BMP header is of an unsupported kind";
    case BitmapError::kBadDimensions: return "the picture's width or height is invalid";
    case BitmapError::kUnsupportedFormat: return "unsupported bit depth or compression";
    case BitmapError::kBadPixelOffset: return "the pixel data offset is invalid";
    case BitmapError::kRowsPastEnd: return "the pixel rows run past the end of the file";
    case BitmapError::kNotOneBit: return "save the picture as an uncompressed 1-bit (black and white) BMP";
    case BitmapError::kTooWide: return "the picture is wider than 2040 dots";
    case BitmapError::kTooNarrow: return "the picture is narrower than 8 dots";
    case BitmapError::kSizeMismatch: return "the size in the BMP header is not the file's length";
    case BitmapError::kNotPicture: return "not a BMP, PNG, JPEG or GIF picture";
    case BitmapError::kCorruptPicture: return "the picture is damaged or cut short";
    case BitmapError::kTooManyPixels: return "the picture has too many pixels to convert";
    case BitmapError::kSourceTooLarge: return "the picture file is too large";
    case BitmapError::kConvertedTooLarge:
      return "the picture, scaled to the paper, does not fit the printer's buffer";
    case BitmapError::kTooCostlyToDecode:
      return "decoding the picture would take over " +
             std::to_string(graphics::kDecoderAllocationLimitMb) + " MB or over " +
             std::to_string(graphics::kMaxJpegScans) +
             " JPEG scans; save it as a plain (baseline) JPEG or a PNG";
    case BitmapError::kCannotWrite: return "the preview file could not be written";
  }
  return {};
}

std::string FirmwareFileReason(const firmware::FirmwareFileRead& read) {
  using firmware::FileProblem;
  switch (read.problem) {
    case FileProblem::kNone: break;
    case FileProblem::kDoesNotExist: return "no such file";
    case FileProblem::kNotAFile: return "not a regular file (a directory, pipe or device)";
    case FileProblem::kUnreadable: return "cannot be read (permission or I/O error)";
    case FileProblem::kEmpty: return "the file is empty";
    case FileProblem::kTooLarge:
      return "the file has " + std::to_string(read.length) + " bytes; the printer takes at most " +
             std::to_string(firmware::kMaxImageBytes);
    case FileProblem::kForeign:
      return std::string("this is ") + ForeignFormatWords(read.foreign) + ", not firmware";
  }
  return {};
}

int ReadInputs(Context& context) {
  const auto& arguments = context.invocation.arguments;
  switch (context.invocation.command->id) {
    case CommandId::kPrintPicture:
      if (auto e = graphics::LoadPicture(arguments.front(), context.inputs.picture,
                                         context.invocation.conversion);
          e != graphics::BitmapError::kNone) {
        return RefuseBitmap(context, e);
      }
      return WritePreview(context, graphics::PictureDots(context.inputs.picture));
    case CommandId::kLogoLoad:
      if (auto e = graphics::LoadLogo(arguments.front(), context.inputs.logo,
                                      context.invocation.conversion);
          e != graphics::BitmapError::kNone) {
        return RefuseBitmap(context, e);
      }
      return WritePreview(context, graphics::LogoDots(context.inputs.logo));
    case CommandId::kFirmwareCheck:
    case CommandId::kFirmwareUpdate:
    case CommandId::kFirmwareRecover: {
      const auto read = firmware::ReadFirmwareFile(arguments.front(), context.inputs.firmware);
      if (read.problem == firmware::FileProblem::kNone) return 0;
      return context.output.Fail(ExitCode::kFileRefused,
                                 arguments.front() + ": " + FirmwareFileReason(read));
    }
    case CommandId::kPrintText: return OpenText(context);
    case CommandId::kPrintRaw: return ReadRawJob(context);
    case CommandId::kSettingsRestore: return ReadSettingsInputs(context);
    case CommandId::kSettingsSave: return CheckSettingsTarget(context);
    default: return 0;
  }
}

}  // namespace zelka::cli
