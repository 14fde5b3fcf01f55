// A main form (without widgets) over simulated printers and a real printer worker: the
// fixture of the tests of the window's handlers. The test thread plays the window's
// thread: what the worker posts to it runs when the test settles the form.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "form/main_form.h"
#include "printer/worker.h"
#include "support/fake_dialogs.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class FormFixture : public SimFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh form listing `ports` (the fixture's printer alone when empty).
  void MakeForm(std::vector<std::string> ports = {});
  form::WindowState& Window() { return form->Window(); }
  // Clicks the control and settles the form: returns once every job it started (and
  // every job those started in turn) has ended and its result is shown.
  void Click(const std::string& name);
  // Runs what the worker posted until the worker is idle and nothing is left to run.
  void Settle();
  // Names of the commands the printer got (garbage left out).
  std::vector<std::string> Commands(const sim::Simulator& s) const { return s.CommandNames(); }

  FakeDialogs dialogs;
  std::vector<std::string> ports;
  std::unique_ptr<printer::Worker> worker;
  std::unique_ptr<form::MainForm> form;

 private:
  std::mutex mutex_;
  std::deque<form::MainForm::Task> posted_;
};

}  // namespace zelka::testing
