// crea_scenario: writes the built-in scenario and compiles it, in the folder
// of the executable. It takes no input of any kind.
#include <memory>

#include "driver/run_driver.h"
#include "platform/file_system.h"
#include "platform/ui.h"

// The only place the builder ends: whatever happens in the run, RunBuilder
// returns here with the exit status.
int main() {
  std::unique_ptr<scenario::Ui> ui = scenario::NewUi();
  const int status =
      scenario::RunBuilder(scenario::RealFileSystem(), ui.get(), scenario::ProgramFolder());
  ui->Quit(status);
}
