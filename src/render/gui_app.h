#pragma once
// Text on a picture needs Qt's font database, which needs a GUI
// application object. Programs without a window get one that draws
// off screen.
namespace kinvalo {

// Creates the application object once, unless the program has its own.
void EnsureGuiApplication();

}  // namespace kinvalo
