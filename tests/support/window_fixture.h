// The real main window on the offscreen platform, listing the fixture's simulated
// printer; its baud-rate dialog is shown for real when the program asks for it.
#pragma once

#include <QApplication>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "support/fake_dialogs.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class WindowFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    form::MainForm::Options options;
    options.portSource = [this] { return std::vector<std::string>{sim.PortName()}; };
    window = std::make_unique<app::TForm1>(dialogs, options);
    dialogs.onModeless = [this](const std::string& name) {
      if (name == "TForm2") window->Form2().show();
    };
    window->show();
  }
  void TearDown() override {
    window.reset();
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
  // Lets queued updates from other threads reach the widgets.
  void Settle() { QApplication::processEvents(); }

  FakeDialogs dialogs;
  std::unique_ptr<app::TForm1> window;
};

}  // namespace zelka::testing
