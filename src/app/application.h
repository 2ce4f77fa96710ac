#pragma once
// The program's windows and data, created once at start-up in a fixed
// order and alive until the program ends.
#include <functional>
#include <memory>

#include "app/small_forms.h"
#include "app/tulmex_form.h"
#include "app/app_state.h"

namespace kinvalo::app {

inline constexpr const char* kApplicationTitle = "Kinvalo partial regression analysis";

class KinvaloApplication {
 public:
  // `endApplication` ends the program; only the finish window calls it.
  KinvaloApplication(Platform& ui, std::function<void()> endApplication);
  ~KinvaloApplication();
  KinvaloApplication(const KinvaloApplication&) = delete;
  KinvaloApplication& operator=(const KinvaloApplication&) = delete;

  // Initialises the main window and shows it on its Intro tab.
  void Start();

  // In the order of creation. The small windows belong to the main window.
  std::unique_ptr<TTulmexForm> TulmexForm;
  TFinishForm* FinishForm = nullptr;
  std::unique_ptr<AppState> DMTulmex;
  TSymbolsForm* SymbolsForm = nullptr;
  THelpForm* HelpForm = nullptr;
  TMoreInfoForm* MoreInfoForm = nullptr;
};

}  // namespace kinvalo::app
