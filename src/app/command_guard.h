#pragma once
// The one place where a failure inside a window command ends: the command is
// abandoned, a generic message says so, and the program goes on.
#include <functional>
#include <string>

#include "core/platform.h"

namespace kinvalo::app {

// The generic error message, naming what went wrong.
std::string GenericErrorMessage(const std::string& what);

// Runs one command handler. Nothing it throws leaves this function.
void RunCommand(Platform& ui, const std::function<void()>& command) noexcept;

}  // namespace kinvalo::app
