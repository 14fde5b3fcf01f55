#include "form/form_fixture.h"

namespace zelka::testing {

void FormFixture::SetUp() {
  SimFixture::SetUp();
  worker = std::make_unique<printer::Worker>(sleeper);
}

void FormFixture::TearDown() {
  if (worker) worker->Stop();
  form.reset();
  worker.reset();
  SimFixture::TearDown();
}

void FormFixture::MakeForm(std::vector<std::string> names) {
  ports = names.empty() ? std::vector<std::string>{sim.PortName()} : std::move(names);
  form::MainForm::Options options;
  options.portSource = [this] { return ports; };
  options.post = [this](form::MainForm::Task task) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
  };
  form = std::make_unique<form::MainForm>(dialogs, *worker, options);
  form->FormCreate();
}

void FormFixture::Click(const std::string& name) {
  form->Click(name);
  Settle();
}

void FormFixture::Settle() {
  for (;;) {
    worker->WaitIdle();
    form::MainForm::Task task;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) {
        if (worker->Pending() == 0) return;
        continue;
      }
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
  }
}

}  // namespace zelka::testing
