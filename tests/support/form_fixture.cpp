#include "support/form_fixture.h"

#include "commands/text_line.h"
#include "link/serial_link.h"

namespace zelka::testing {

void FormFixture::SetUp() {
  SimFixture::SetUp();
  commands::PrinterVariant = 0;
  commands::PaperWidthMm = 80;
}

void FormFixture::TearDown() {
  form.reset();
  commands::PrinterVariant = 0;
  commands::PaperWidthMm = 80;
  SimFixture::TearDown();
}

void FormFixture::MakeForm(std::vector<std::string> names) {
  ports = names.empty() ? std::vector<std::string>{sim.PortName()} : std::move(names);
  form::MainForm::Options options;
  options.portSource = [this] { return ports; };
  form = std::make_unique<form::MainForm>(dialogs, options);
  form->FormCreate();
}

}  // namespace zelka::testing
