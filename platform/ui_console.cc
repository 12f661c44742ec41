// The console backend and the defaults every backend shares: diagnostics go
// to stderr and Quit ends the process after flushing the standard streams.
#include <stdio.h>
#include <stdlib.h>

#include <iostream>
#include <memory>
#include <string>

#include "platform/ui.h"

namespace scenario {

void Ui::Report(const std::string& text) {
  std::cerr << text << '\n';
  std::cerr.flush();
}

void Ui::Quit(int status) {
  std::cout.flush();
  std::cerr.flush();
  fflush(nullptr);
  std::exit(status);
}

namespace {

class ConsoleUi : public Ui {
 public:
  void ShowWaitWindow() override {
    std::cerr << "Attendere\n";
    std::cerr.flush();
  }

  // There is nobody to close a box: the text is shown as one line.
  void ShowMessage(const std::string& text) override {
    std::cerr << text << '\n';
    std::cerr.flush();
  }
};

}  // namespace

std::unique_ptr<Ui> NewConsoleUi() { return std::make_unique<ConsoleUi>(); }

}  // namespace scenario
