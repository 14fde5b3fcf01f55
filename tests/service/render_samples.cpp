// zelka-render-samples OUTPUT_DIR: prints the test receipts on the simulated printer the
// way a user would (search, identification, then "Тестовый чек" on 80 mm and on 57 mm
// paper, then "Печать QR кода") and saves the printer's pictures of them as
// receipt-80mm.png, receipt-57mm.png and receipt-qr.png. scripts/render-samples.sh runs
// it for the README.
#include <QDir>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "discovery/identify.h"
#include "discovery/search.h"
#include "printer/session.h"
#include "service/paper_width.h"
#include "service/test_receipts.h"
#include "sim/simulator.h"

namespace {

namespace discovery = zelka::discovery;
namespace service = zelka::service;

constexpr std::chrono::seconds kPrintTimeout{20};
constexpr const char* kPictureNames[] = {"receipt-80mm.png", "receipt-57mm.png", "receipt-qr.png"};

int Fail(const std::string& what) {
  std::fprintf(stderr, "zelka-render-samples: %s\n", what.c_str());
  return 1;
}

// The printer takes `width` (as the window's paper radio buttons tell it), then prints.
bool PrintAt(zelka::printer::Session& session, service::PaperWidth width,
             zelka::printer::Result (*print)(zelka::printer::Session&)) {
  return service::SwitchPaperWidth(session, width) == width && print(session).Ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zelka-render-samples OUTPUT_DIR\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir output(QString::fromLocal8Bit(argv[1]));
  if (!output.exists() && !QDir().mkpath(output.path())) {
    return Fail(std::string("cannot create ") + argv[1]);
  }

  zelka::sim::Simulator printer(zelka::sim::DefaultPrinter());
  std::string error;
  if (!printer.Start(&error)) return Fail(error);

  zelka::printer::Session session;
  const auto found = discovery::SearchPrinter(
      session, [&printer] { return std::vector<std::string>{printer.PortName()}; });
  if (!found.printer || session.Port() != printer.PortName()) {
    return Fail("the simulated printer was not found");
  }
  // The model decides how many characters a text line holds.
  discovery::IdentifyPrinter(session, [](discovery::Step, const discovery::Identity&) {
    return discovery::Next::kGoOn;
  });

  const bool printed =
      PrintAt(session, service::PaperWidth::k80mm,
              [](zelka::printer::Session& s) { return service::PrintTestReceipt(s, service::ReceiptLayout::k80mm); }) &&
      PrintAt(session, service::PaperWidth::k57mm,
              [](zelka::printer::Session& s) { return service::PrintTestReceipt(s, service::ReceiptLayout::k57mm); }) &&
      PrintAt(session, service::PaperWidth::k80mm, service::PrintSampleQrCode);
  if (!printed) return Fail("the simulated printer did not take every job");

  if (!printer.WaitForReceipts(std::size(kPictureNames), kPrintTimeout)) {
    return Fail("the printer did not cut every receipt");
  }
  const auto receipts = printer.Receipts();
  for (std::size_t i = 0; i < std::size(kPictureNames); ++i) {
    const QString path = output.filePath(QString::fromLatin1(kPictureNames[i]));
    if (!receipts[i].image.save(path, "PNG")) return Fail("cannot write " + path.toStdString());
    std::printf("%s\n", qPrintable(path));
  }
  session.CloseAll();
  printer.Stop();
  return 0;
}
