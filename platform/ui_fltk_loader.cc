// The FLTK window as the executable sees it: a Ui over the table of the
// window module, which is loaded from the module's folder only when a
// display is set.
#include <dlfcn.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "platform/ui.h"
#include "platform/ui_fltk_module.h"
#include "platform/ui_internal.h"

namespace scenario {
namespace {

class FltkUi : public Ui {
 public:
  explicit FltkUi(const FltkWindow* window) : window_(window) {}

  void ShowWaitWindow() override { window_->show_wait_window(); }
  void ShowMessage(const std::string& text) override { window_->show_message(text.c_str()); }

  [[noreturn]] void Quit(int status) override {
    window_->close();
    Ui::Quit(status);
  }

 private:
  const FltkWindow* window_;  // in the module, which stays loaded to the end
};

}  // namespace

std::unique_ptr<Ui> NewFltkUi(const std::string& module_folder) {
  const char* display = getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return nullptr;
  const std::string path = module_folder + "/" + kFltkModuleName;
  // Never unloaded, not even when the display cannot be opened: FLTK sets
  // itself up when it is loaded, and unloading it would strand that memory.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (module == nullptr) return nullptr;
  const auto entry = reinterpret_cast<FltkWindowEntry>(dlsym(module, kFltkModuleEntry));
  const FltkWindow* window = entry != nullptr ? entry() : nullptr;
  if (window == nullptr || window->version != kFltkModuleVersion || !window->open()) {
    dlclose(module);
    return nullptr;
  }
  return std::make_unique<FltkUi>(window);
}

}  // namespace scenario

#if defined(__SANITIZE_ADDRESS__)
// Leak checking at exit: the font lookups FLTK makes through fontconfig keep
// memory that neither FLTK nor we can hand back. Leaks of our own code are
// still reported. (The hooks must be in the executable, not in the module.)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Keeps stderr as the program wrote it.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif
