// The real main window on the offscreen platform over a real printer worker, listing the
// fixture's simulated printer; its baud-rate dialog is shown for real when the program
// asks for it.
//
// Job results reach the window through queued calls, so a test clicks and then runs the
// window's event loop until the window is idle again (WaitUntilIdle).
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "app/tform1.h"
#include "link/serial_link.h"
#include "printer/worker.h"
#include "support/fake_dialogs.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

// Every frame the worker's links write, with the port and the rate it went out at (the
// program's side of the line).
class SentFrames final : public link::Observer {
 public:
  struct Frame {
    std::string port;
    int baud = 0;
    Bytes bytes;
    bool operator==(const Frame&) const = default;
  };
  void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(mutex_);
    frames_.push_back({port, baud, Bytes(bytes.begin(), bytes.end())});
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::vector<Frame> Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    frames_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Frame> frames_;
};

class WindowFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    ports = {sim.PortName()};
    worker = std::make_unique<printer::Worker>(sleeper);
    worker->SetLinkObserver(&sent);
    form::MainForm::Options options;
    // Read at creation and before every search: a test may change `ports` in between.
    options.portSource = [this] { return ports; };
    window = std::make_unique<app::TForm1>(dialogs, *worker, options);
    dialogs.onModeless = [this](const std::string& name) {
      if (name == "TForm2") window->Form2().show();
    };
    window->show();
  }
  void TearDown() override {
    // The worker goes first: a job still running may post to the window.
    if (worker) worker->Stop();
    window.reset();
    worker.reset();
    SimFixture::TearDown();
  }
  template <typename W>
  W* Find(QWidget* parent, const char* name) {
    auto* w = parent->findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  template <typename W>
  W* Find(const char* name) {
    return Find<W>(window.get(), name);
  }
  // Runs the window's event loop until no printer job of the window is queued or running
  // and every result has been shown; false when that takes longer than `deadline`.
  bool WaitUntilIdle(std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      if (!window->Form().Busy()) {
        QCoreApplication::processEvents();
        return true;
      }
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  FakeDialogs dialogs;
  SentFrames sent;
  std::vector<std::string> ports;
  std::unique_ptr<printer::Worker> worker;
  std::unique_ptr<app::TForm1> window;
};

}  // namespace zelka::testing
