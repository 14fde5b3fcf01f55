// zelka-utility: the service utility's entry point.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/console.h"
#include "app/demo_printer.h"
#include "app/end_requests.h"
#include "app/language.h"
#include "app/options.h"
#include "app/qt_dialogs.h"
#include "app/tform1.h"
#include "app/window_ports.h"
#include "link/port_list.h"
#include "printer/worker.h"
#include "remote/remote_query_server.h"

namespace {

zelka::remote::RemoteQueryServer::Options RemoteOptions(const zelka::app::Options& options) {
  zelka::remote::RemoteQueryServer::Options remote;
  if (options.tcpPort) remote.port = static_cast<std::uint16_t>(*options.tcpPort);
  remote.addresses = options.listen;
  remote.maxClients = options.maxClients;
  remote.allow = options.allow;
  return remote;
}

// Starts the remote service on the first call; FormCreate asks again before every search.
// A port that cannot be bound leaves the window running without the service.
void StartRemoteService(zelka::remote::RemoteQueryServer& remote) {
  if (remote.Started()) return;
  if (remote.Start()) {
    // Scripts and tests that ask for any free port read the one bound here.
    std::printf("Remote service listening on port %u\n", unsigned{remote.Port()});
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "Remote service not started: %s\n", remote.Error().c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  zelka::app::UseStartingConsole();
  {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    // Before the application object, which cannot be made without a display.
    if (const auto answer = zelka::app::AnswerBeforeWindow(arguments)) {
      std::fprintf(answer->exitCode == 0 ? stdout : stderr, "%s\n", answer->text.c_str());
      return answer->exitCode;
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelka-utility"));

  std::string error;
  const auto options = zelka::app::ParseOptions(QApplication::arguments(), error);
  if (!options) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }

  const zelka::app::Language language =
      zelka::app::ChooseLanguage(options->language, zelka::app::MessagesLocaleName());
  if (!zelka::app::InstallLanguage(language)) {
    // The catalogues are built into the program: only a broken build gets here.
    std::fprintf(stderr, "%s\n",
                 language == zelka::app::Language::kEnglish
                     ? "The English texts are missing from this build; the window speaks Russian."
                     : "Qt's Russian texts are missing from this build; its buttons and file "
                       "dialogs speak English.");
  }

  std::unique_ptr<zelka::app::DemoPrinter> demo;
  if (options->demo) {
    demo = zelka::app::StartDemoPrinter(error);
    if (!demo) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }

  zelka::form::MainForm::Options formOptions;
  zelka::app::WindowPorts windowPorts(demo ? demo->PortName() : "", options->ports);
  formOptions.portSource = [&windowPorts] { return windowPorts.Read(); };
  formOptions.portDetails = [&windowPorts](const std::string& port) { return windowPorts.Details(port); };

  // The service serves the form that the window builds, and the form's FormCreate starts
  // it; the first FormCreate runs inside the window's constructor, before the service can
  // exist, so the service starts right after it.
  std::unique_ptr<zelka::remote::RemoteQueryServer> remote;
  formOptions.startRemoteService = [&remote] {
    if (remote) StartRemoteService(*remote);
  };

  zelka::printer::Worker worker;
  zelka::app::QtDialogs dialogs;
  zelka::app::TForm1 window(dialogs, worker, formOptions);
  zelka::form::MainForm& form = window.Form();
  zelka::remote::Host host;
  host.worker = &worker;
  host.ports = [&form] { return form.ListedPorts(); };
  host.onSearched = [&form](const zelka::discovery::SearchResult& r) { form.ShowSearchResult(r); };
  host.onStep = [&form](zelka::discovery::Step step, const zelka::discovery::Identity& identity) {
    form.ShowIdentifyStep(step, identity);
  };
  host.onSerialTitle = [&form](const std::string& caption) { form.ShowSerialTitle(caption); };
  remote = std::make_unique<zelka::remote::RemoteQueryServer>(host, RemoteOptions(*options));
  StartRemoteService(*remote);
  dialogs.SetMainWindow(&window);
  dialogs.AddWindow("TForm2", &window.Form2());
  // A logout during a firmware update waits for the update: cut short, it would leave the
  // printer in its bootloader.
  const zelka::app::EndRequests endRequests([&form] { return form.UpdatingFirmware(); },
                                            [] { QApplication::quit(); });
  window.show();
  const int code = QApplication::exec();
  // The connections wait for the worker, and the worker's jobs post to the window: the
  // service ends first, then the job under way (or it gives up), then the window.
  remote.reset();
  worker.Stop();
  return code;
}
