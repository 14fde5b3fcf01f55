// A main form (without widgets) over simulated printers: the fixture of the tests of the
// window's operations.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "form/main_form.h"
#include "support/fake_dialogs.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class FormFixture : public SimFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh form listing `ports` (the fixture's printer alone when empty).
  void MakeForm(std::vector<std::string> ports = {});
  seams::WindowState& Window() { return form->Window(); }
  void Click(const std::string& name) { form->Click(name); }
  // Names of the commands the printer got (garbage left out).
  std::vector<std::string> Commands(const sim::Simulator& s) const { return s.CommandNames(); }

  FakeDialogs dialogs;
  std::vector<std::string> ports;
  std::unique_ptr<form::MainForm> form;
};

}  // namespace zelka::testing
