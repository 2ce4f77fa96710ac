#pragma once
// The Input tab: titles, count, confidence, preference, the data table with
// its help panels, "Clear data", "Open input", "Open data"
// (input_tab_data.cpp) and the calculation run (input_tab_calc.cpp).
#include <memory>
#include <optional>
#include <string>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include "app/app_state.h"
#include "app/input_grid.h"
#include "app/main_actions.h"
#include "app/tab_host.h"
#include "data/input_table.h"

namespace kinvalo::app {

class GraphicsTab;
class OutputTab;

class InputTab : public QScrollArea {
  Q_OBJECT

 public:
  InputTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
           FileDialogs& dialogs, OutputTab& output, GraphicsTab& graphics);
  ~InputTab() override;

  void InputTabSheetShow();
  // The input part of the start-up initialisation.
  void FormCreate();

  void FillInputTable();
  void StringGrid1SetEditText(int col, int row, const std::string& text);
  void NrOfDataEditExit();
  void ConfComboBoxChange();
  void PasteButtonClick();
  void HelpOpenButtonClick();
  void ClearButtonClick();
  void InputOpenActionExecute();
  // Open input without its dialog: `path` was given on the command line,
  // dropped on the window or chosen from the recent files.
  void OpenInputFile(const std::string& path);
  // Open data: a data file of columns (CSV or tab-separated), two of which
  // go into the table as if pasted, to be saved beside it as DATA.inp
  // (input_tab_data.cpp).
  void DataOpenActionExecute();
  // Open data without its dialog.
  void OpenDataFile(const std::string& path);
  // F1: the symbols help panel, unless a help panel is open already.
  void ShowHelp();

  // The calculation run.
  void InputSaveExecute();
  // The save dialog, and the question before an existing file is
  // overwritten: the chosen path when the run may go on. Nothing changes
  // before the answer.
  std::optional<std::string> ConfirmSaveFile();
  // The calculation of the saved input file; false when the data were
  // refused (the reason has been shown).
  bool RunCalculation();

  // Asked before the program ends: true when the table holds no typed or
  // pasted data that were not saved, or the user leaves them anyway.
  bool ConfirmLeave();

  InputPage& Input() { return *input_; }

 private:
  using Preference = kinvalo::Preference;
  // The preference of the option buttons.
  Preference ChosenPreference() const;

  void ShowInputPage();  // mirrors the input page's table and count box
  // Open input with the file chosen, or none.
  void OpenInput(const std::optional<std::string>& path);
  // New data come: the result on display goes.
  void PutResultAway();
  // The working data on the page, with the input file they belong to;
  // `saved` when that file holds them.
  void ShowOpenedData(const std::string& inputFile, bool saved);
  void CellTextChanged(int col, int row, const std::string& text);
  void CloseSymbolsPanel();
  void SetPanelOpen(QPlainTextEdit* memo, QPushButton* button, const char* openCaption,
                    const char* closedCaption, QPushButton* other);

  TabHost& host_;
  AppState& s_;
  Platform& ui_;
  const MainActions& actions_;
  FileDialogs& dialogs_;
  OutputTab& output_;
  GraphicsTab& graphics_;
  const std::unique_ptr<InputPage> input_;

  bool SaveCancelled = false;
  bool editingCount_ = false;

  QLabel *FileNameLabel, *Title1Label, *Title2Label, *NrOfDataLabel, *ConfLabel, *Image1;
  QLineEdit *FileNameEdit, *Title1Edit, *Title2Edit, *NrOfDataEdit;
  QComboBox* ConfComboBox;
  QGroupBox* RadioGroup1;
  QRadioButton *RadioButton1, *RadioButton2, *RadioButton3;
  GridView* StringGrid1;
  InputTableModel* gridModel_ = nullptr;
  QPlainTextEdit *HelpMemo, *PasteMemo, *WaitMemo;
  QPushButton *HelpOpenButton, *PasteButton, *ClearButton, *InputOpenButton, *InputSaveButton;
};

}  // namespace kinvalo::app
