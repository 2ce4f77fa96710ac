// The calculation run: from the input table through the saved input file,
// the breakpoint search and the variance analysis to the output tab. The
// calculation itself is the one the batch command runs.
#include <cctype>

#include "app/graphics_tab.h"
#include "app/input_tab.h"
#include "app/output_tab.h"
#include "app/settings.h"
#include "calc/calculation.h"
#include "core/paths.h"

namespace kinvalo::app {

namespace {

// The input file always ends in ".inp": its result files are named by
// replacing that extension, so no other name can make them overwrite it.
std::string WithInputExtension(const std::string& path) {
  return LowerCaseExtension(path) == ".inp" ? path : path + ".inp";
}

}  // namespace

std::optional<std::string> InputTab::ConfirmSaveFile() {
  const std::optional<std::string> path = ui_.SaveFileDialog(dialogs_.InputSave());
  if (!path) {
    SaveCancelled = true;
    return std::nullopt;
  }
  std::string chosen = WithInputExtension(*path);
  if (FileExists(chosen) && !ui_.AskYesNo("The file already exists, overwrite?", DefaultAnswer::Yes)) {
    return std::nullopt;
  }
  return chosen;
}

void InputTab::InputSaveExecute() {
  // Data the run cannot read are reported before a name is asked for.
  if (const auto bad = input_->FirstNonNumber()) {
    input_->W.DecimalSeparator = input_->W.SystemDecimalSeparator;
    ui_.ShowMessage(InputPage::NotRealMessage(bad->first, bad->second));
    return;
  }
  SaveCancelled = false;
  const std::optional<std::string> path = ConfirmSaveFile();
  if (!path || SaveCancelled) {
    ui_.ShowMessage("The input data were not saved");
    return;
  }
  WorkingData& dm = s_.DM;
  // The result on the output tab keeps its file until this run has made
  // one of its own.
  const std::string shownResult = dm.FileName;
  dm.FileName = *path;
  const bool taken = input_->TakeTableRows(Title1Edit->text().toStdString(), Title2Edit->text().toStdString());
  ShowInputPage();
  if (!taken) {
    dm.FileName = shownResult;
    return;
  }
  output_.ResetCaptions();
  // A file that cannot be created has been reported; the run goes on with
  // the data in memory.
  if (dm.WriteInputFile()) {
    input_->W.Unsaved = false;
    RememberRecentFile(dm.FileName);
  }
  ConfComboBoxChange();
  bool refused = false;
  try {
    refused = !RunCalculation();
  } catch (const ReadOnlyResultError& e) {
    // The user protected a result file: his choice, told like the other
    // file messages.
    WaitMemo->hide();
    dm.FileName = shownResult;
    ui_.ShowMessage(e.what());
    return;
  } catch (...) {
    WaitMemo->hide();
    dm.FileName = shownResult;
    throw;
  }
  if (refused) {
    dm.FileName = shownResult;
    InputTabSheetShow();
    return;
  }
  const std::string inputFileName = ChangeFileExt(dm.FileName, ".inp");
  dm.FileName = ChangeFileExt(dm.FileName, ".out");
  if (!output_.LoadResult(".out")) {
    WaitMemo->hide();
    host_.ShowTab(Tab::Input);
    return;
  }
  WaitMemo->appendPlainText(QStringLiteral(" Filing results .."));
  ui_.Wait(500);
  WaitMemo->hide();
  ui_.ShowMessage("The input is saved in " + inputFileName +
                  "   Calculations were done and the output is saved in  " + dm.FileName);
  output_.ShowTextLines();
  output_.ShowResult();
  dialogs_.SetFolder(ExtractFilePath(dm.FileName));
  s_.Output.calculated = true;
  s_.Output.fromFile = false;
  graphics_.ResetGraphicsPage(GraphicsTab::GraphicsReset::ResultCalculated);
  host_.ShowTab(Tab::Output);
}

InputTab::Preference InputTab::ChosenPreference() const {
  if (RadioButton1->isChecked()) return Preference::PreferType3;
  if (RadioButton2->isChecked()) return Preference::PreferType4;
  return Preference::BestOfTwo;
}

bool InputTab::RunCalculation() {
  WaitMemo->clear();
  WaitMemo->show();
  WaitMemo->raise();
  WaitMemo->appendPlainText(QStringLiteral(" Saving data ....."));
  ui_.Wait(500);
  WaitMemo->appendPlainText(QStringLiteral(" Progress 25% ...."));
  ui_.Wait(500);
  input_->W.DecimalSeparator = '.';
  output_.SetExplainEnabled(true);
  output_.EnableAnova();
  // The breakpoint search with its files, then the variance analysis.
  WorkingData& dm = s_.DM;
  const SearchResult result = CalculateResults(dm, {s_.confidence, ChosenPreference()}, ui_);
  if (result.refusal) {
    WaitMemo->hide();
    return false;
  }
  s_.resultType = result.type;
  s_.bothTypesFound = result.bothTypesFound;
  dm.FileName = VariancePath(dm.FileName);
  WaitMemo->appendPlainText(QStringLiteral(" Calculating ...."));
  ui_.Wait(500);
  WaitMemo->appendPlainText(QStringLiteral(" Anova table ...."));
  ui_.Wait(500);
  WaitMemo->appendPlainText(QStringLiteral(" Progress 75% ..."));
  ui_.Wait(500);
  return true;
}

}  // namespace kinvalo::app
