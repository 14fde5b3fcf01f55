// The search, the identification and the window's event loop over ports given by name:
// the same measurements on every system, against real ports or simulated printers that a
// script set up (scripts/bench-windows.sh: Wine's COM ports beside Linux's ptys).
//
//   bench_ports --silent PORT (repeatable) --printer PORT [--runs N]
//
// - the search over the silent ports: four rates, each waiting out the 300 ms of silence,
//   so the target is within 5 % of 4 x 300 ms;
// - the identification of the printer (search excluded);
// - the window's largest event-loop gap during a search over the silent ports (offscreen).
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "bench/window_stall.h"
#include "discovery/identify.h"
#include "discovery/search.h"
#include "form/unattended_dialogs.h"
#include "printer/session.h"
#include "printer/worker.h"

namespace {

using namespace zelka;
using Milliseconds = std::chrono::duration<double, std::milli>;

struct Options {
  std::vector<std::string> silent;
  std::string printer;
  int runs = 5;
};

bool Parse(const QStringList& arguments, Options& options) {
  for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
    const QString& name = arguments[i];
    const std::string value = arguments[i + 1].toStdString();
    if (name == QLatin1String("--silent")) {
      options.silent.push_back(value);
    } else if (name == QLatin1String("--printer")) {
      options.printer = value;
    } else if (name == QLatin1String("--runs")) {
      options.runs = std::max(1, std::stoi(value));
    } else {
      return false;
    }
  }
  return arguments.size() % 2 == 1 && !options.silent.empty() && !options.printer.empty();
}

template <typename F>
std::vector<double> Times(int runs, F&& run) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) return {};
    times.push_back(Milliseconds(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times;
}

void Report(const char* what, const std::vector<double>& times) {
  if (times.empty()) {
    std::printf("%s: failed\n", what);
    return;
  }
  std::printf("%s: median %.0f ms (min %.0f, max %.0f, %zu runs)\n", what, times[times.size() / 2],
              times.front(), times.back(), times.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Options options;
  if (!Parse(QApplication::arguments(), options)) {
    std::fprintf(stderr, "usage: bench_ports --silent PORT [--silent PORT]... --printer PORT [--runs N]\n");
    return 2;
  }

  printer::Session session;
  const auto silent = [&] { return options.silent; };
  const std::vector<double> search =
      Times(options.runs, [&] { return !discovery::SearchPrinter(session, silent).printer; });
  const double ideal = static_cast<double>(discovery::kSearchRates.size()) * 300.0;
  char what[128];
  std::snprintf(what, sizeof what, "search over %zu silent ports (ideal %.0f ms)", options.silent.size(), ideal);
  Report(what, search);
  if (!search.empty()) {
    std::printf("  overhead of the median: %.1f %%\n", (search[search.size() / 2] - ideal) / ideal * 100);
  }

  const std::vector<double> identify = Times(options.runs, [&] {
    session.SetPort(options.printer);
    session.SetBaud(link::kDefaultBaud);
    return discovery::IdentifyPrinter(session, {}).identity.buildDate.has_value();
  });
  Report("identification of the printer", identify);

  printer::Worker worker;
  form::UnattendedDialogs dialogs;
  form::MainForm::Options formOptions;
  formOptions.portSource = silent;
  app::TForm1 window(dialogs, worker, formOptions);
  qint64 largestGap = 0;
  for (int i = 0; i < options.runs; ++i) {
    largestGap = std::max(largestGap, bench::MeasureStall(window, "Button7").largestGapMs);
  }
  std::printf("window: largest event-loop gap during a search over the silent ports: %lld ms "
              "(%d searches)\n", static_cast<long long>(largestGap), options.runs);
  worker.Stop();
  return 0;
}
