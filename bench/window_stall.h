// How long the window's event loop stalls while a job of one of its buttons runs: the
// largest gap between the ticks of a 5 ms timer, and the job's whole time.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#include "app/tform1.h"

namespace zelka::bench {

struct Stall {
  qint64 largestGapMs = 0;
  qint64 totalMs = 0;
};

// Clicks `button` and runs the event loop until the window's jobs have ended.
inline Stall MeasureStall(app::TForm1& window, const char* button) {
  QElapsedTimer sinceTick;
  QElapsedTimer total;
  Stall stall;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    stall.largestGapMs = std::max(stall.largestGapMs, sinceTick.restart());
  });
  total.start();
  sinceTick.start();
  ticker.start(5);
  window.Form().Click(button);
  while (window.Form().Busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  ticker.stop();
  stall.totalMs = total.elapsed();
  return stall;
}

}  // namespace zelka::bench
