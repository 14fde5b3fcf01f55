#include "cli/script_inputs.h"

#include <QSaveFile>

#include "cli/input_files.h"
#include "files/regular_file.h"
#include "service/script_jobs.h"

namespace zelka::cli {

namespace {

// Reads the regular file `name` whole when it has at most `limit` bytes. "" when read,
// else why not.
std::string ReadWhole(const std::string& name, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  files::RegularFile file;
  switch (file.Open(name)) {
    case files::FileError::kNone: break;
    case files::FileError::kDoesNotExist: return "no such file";
    case files::FileError::kNotRegular: return "not a regular file (a directory, pipe or device)";
    case files::FileError::kUnreadable: return "cannot be read (permission or I/O error)";
  }
  if (file.Length() > limit) {
    return "the file has " + std::to_string(file.Length()) + " bytes, more than the " + std::to_string(limit) +
           " this command takes";
  }
  bytes.resize(static_cast<std::size_t>(file.Length()));
  if (!file.Read(bytes)) return "cannot be read (permission or I/O error)";
  return {};
}

// Standard input up to `limit` bytes; one byte more is enough to refuse it.
std::string ReadInput(std::FILE* in, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  std::uint8_t buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() > limit) return "standard input has more than the " + std::to_string(limit) + " bytes this command takes";
  }
  if (std::ferror(in)) return "standard input cannot be read";
  return {};
}

}  // namespace

int ReadRawJob(Context& context) {
  const std::string& name = context.invocation.arguments.front();
  std::vector<std::uint8_t>& job = context.inputs.rawJob;
  const bool input = name == "-";
  std::string problem = input ? ReadInput(context.in, service::kRawJobLimit, job)
                              : ReadWhole(name, service::kRawJobLimit, job);
  if (problem.empty() && job.empty()) problem = "the job is empty; there is nothing to send";
  if (problem.empty()) return 0;
  return context.output.Fail(ExitCode::kFileRefused, (input ? "standard input" : name) + ": " + problem);
}

int ReadSettingsInputs(Context& context) {
  const std::string& name = context.invocation.arguments.front();
  std::vector<std::uint8_t> bytes;
  std::string problem = ReadWhole(name, kSettingsFileLimit, bytes);
  if (problem.empty()) {
    problem = ParseSettingsJson(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())),
                                context.inputs.settings);
  }
  if (!problem.empty()) {
    return context.output.Fail(ExitCode::kFileRefused, name + ": " + problem + "; nothing was sent");
  }
  const auto& logo = context.invocation.logo;
  if (!logo) return 0;
  graphics::ConversionOptions options;
  if (context.inputs.settings.paperWidthMm == 57) options.paperDots = graphics::kPaperDots57mm;
  if (const auto e = graphics::LoadLogo(*logo, context.inputs.logo, options); e != graphics::BitmapError::kNone) {
    return context.output.Fail(ExitCode::kFileRefused, *logo + ": " + BitmapErrorReason(e) + "; nothing was sent");
  }
  return 0;
}

int CheckSettingsTarget(Context& context) {
  const std::string& name = context.invocation.arguments.front();
  QSaveFile file(QString::fromStdString(name));
  if (file.open(QIODevice::WriteOnly)) {
    file.cancelWriting();
    return 0;
  }
  return context.output.Fail(ExitCode::kFileRefused, name + ": cannot be written (" +
                                                         file.errorString().toStdString() + "); nothing was sent");
}

}  // namespace zelka::cli
