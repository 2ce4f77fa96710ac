#pragma once
// What a tab of the main window asks of the window that holds it, and the
// file dialogs the tabs share.
#include <cstdint>
#include <functional>

#include <QPushButton>
#include <QString>

#include "app/file_dialogs.h"

namespace kinvalo::app {

enum class Tab : std::uint8_t { Intro, Input, Output, Graphics };

class TabHost {
 public:
  // Runs a command handler: a failure is shown and the program goes on.
  virtual void Command(const std::function<void()>& handler) = 0;
  // Brings a tab to the front and runs its show handler (also when it is in
  // front already).
  virtual void ShowTab(Tab tab) = 0;
  virtual void SetStatusText(const QString& text) = 0;
  // Start-up initialisation of the window; "Clear data" runs it again.
  virtual void FormCreate() = 0;

 protected:
  ~TabHost() = default;
};

inline QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// Connects `signal` of `sender` to `handler` of `tab`, run as a command of
// `host`.
template <typename Sender, typename Signal, typename TabClass>
void OnSignal(TabHost& host, TabClass* tab, Sender* sender, Signal signal, void (TabClass::*handler)()) {
  QObject::connect(sender, signal, tab, [&host, tab, handler] { host.Command([tab, handler] { (tab->*handler)(); }); });
}

}  // namespace kinvalo::app
