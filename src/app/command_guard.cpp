#include "app/command_guard.h"

#include <exception>

namespace kinvalo::app {

std::string GenericErrorMessage(const std::string& what) {
  return "An unexpected error stopped this command. Your data are kept and the program goes on.\n\n" +
         what;
}

void RunCommand(Platform& ui, const std::function<void()>& command) noexcept {
  std::string what;
  try {
    command();
    return;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "Unknown error.";
  }
  try {
    ui.ShowMessage(GenericErrorMessage(what));
  } catch (...) {
    // Not even the message could be shown; the program still goes on.
  }
}

}  // namespace kinvalo::app
