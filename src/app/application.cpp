#include "app/application.h"

namespace kinvalo::app {

KinvaloApplication::KinvaloApplication(Platform& ui, std::function<void()> endApplication) {
  // The main window comes first and touches no working data while it is
  // built; the data module follows the finish window.
  TulmexForm = std::make_unique<TTulmexForm>(ui);
  FinishForm = new TFinishForm(TulmexForm.get(), std::move(endApplication));
  DMTulmex = std::make_unique<AppState>(ui);
  SymbolsForm = new TSymbolsForm(TulmexForm.get());
  HelpForm = new THelpForm(TulmexForm.get());
  MoreInfoForm = new TMoreInfoForm(TulmexForm.get());
  TulmexForm->Attach(*DMTulmex, FinishForm, SymbolsForm, HelpForm, MoreInfoForm);
}

KinvaloApplication::~KinvaloApplication() {
  // The windows go before the data they show.
  TulmexForm.reset();
  DMTulmex.reset();
}

void KinvaloApplication::Start() {
  TulmexForm->FormCreate();
  TulmexForm->show();
}

}  // namespace kinvalo::app
