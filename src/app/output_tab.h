#pragma once
// The Output tab: the output file, the explanation table, the ANOVA table and
// the least-squares report of the current result, and "Open output".
#include <optional>
#include <string>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "app/app_state.h"
#include "app/main_actions.h"
#include "app/tab_host.h"

namespace kinvalo::app {

class GraphicsTab;
class SymbolsWindow;

class OutputTab : public QWidget {
  Q_OBJECT

 public:
  OutputTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
            FileDialogs& dialogs, SymbolsWindow& symbols, GraphicsTab& graphics);
  ~OutputTab() override;

  void OutputTabSheetShow();
  void OutputTabSheetExit();

  void ExplainButtonClick();
  void AnovaButtonClick();
  void LeastSquaresButtonClick();
  void SymbolsButtonClick();
  void OutputOpenActionExecute();
  // Open output without its dialog: `path` was given on the command line,
  // dropped on the window or chosen from the recent files.
  void OpenOutputFile(const std::string& path);

  // For the calculation run of the input tab.
  // Into TextLines; false when the file holds too little to show. A file
  // that cannot be opened clears the output page and counts as loaded.
  bool LoadResult(const std::string& extension);
  void ShowTextLines();
  void SetExplainEnabled(bool enabled);
  void EnableAnova() {
    AnovaButton->setEnabled(true);
    LeastSquaresButton->setEnabled(true);
  }
  void ResetCaptions();
  // The file and the commands of a result.
  void ShowResult();
  void HideFile();
  void HideCommands();

 private:
  bool LoadText(const std::string& kind);  // of the file DM.FileName
  // Open output with the file chosen, or none.
  void ShowOutputFile(const std::optional<std::string>& path);
  // The explanation or variance table of the output file DM.FileName into
  // TextLines; false, with TextLines and the memo as they were, when it
  // cannot be shown.
  bool LoadSideFile(const std::string& extension);
  // The output file on the memo again, with the commands that go with it.
  void BackToOutputFile();
  // The table just loaded beside the output file on the memo, without the
  // output file's own commands.
  void ShowSideTable();

  TabHost& host_;
  AppState& s_;
  Platform& ui_;
  const MainActions& actions_;
  FileDialogs& dialogs_;
  SymbolsWindow& symbols_;
  GraphicsTab& graphics_;

  QPlainTextEdit* OutputMemo;
  QPushButton *ExplainButton, *AnovaButton, *LeastSquaresButton, *SymbolsButton, *GraphicsButton, *ResultButton;
};

}  // namespace kinvalo::app
