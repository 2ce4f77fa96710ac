#pragma once
// The main window: four tab pages (Intro, Input, Output, Graphics), the main
// menu with its actions, the status texts and the calculation run. Its
// implementation is split by tab: tulmex_form_intro.cpp, _input.cpp,
// _calc.cpp, _output.cpp, _graphics.cpp and _actions.cpp.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/base_form.h"
#include "app/input_grid.h"
#include "app/app_state.h"
#include "data/input_table.h"
#include "graphs/canvas.h"
#include "graphs/graph_draw.h"

namespace kinvalo {
class QtCanvas;
}

namespace kinvalo::app {

class TFinishForm;
class TSymbolsForm;
class THelpForm;
class TMoreInfoForm;

// Where the main window goes on a screen of the given width: the left edge
// and the outer width of the window, in pixels.
struct WindowPlacement {
  int left = 100;
  int width = 860;
};
WindowPlacement PlaceMainWindow(int screenWidth);

class TTulmexForm : public TBaseForm {
  Q_OBJECT

 public:
  explicit TTulmexForm(Platform& ui);
  ~TTulmexForm() override;

  // Connects the window to the working data and the small windows, which
  // are created after it.
  void Attach(AppState& state, TFinishForm* finish, TSymbolsForm* symbols, THelpForm* help,
              TMoreInfoForm* moreInfo);

  // Start-up initialisation of the window; "Clear data" runs it again.
  void FormCreate();
  // Makes `folder` the initial folder of all six file dialogs.
  void SetDialogFolders(const std::string& folder);

  // Tab handlers.
  void IntroTabSheetShow();
  void InputTabSheetShow();
  void OutputTabSheetShow();
  void OutputTabSheetExit();
  void GraphicsTabSheetShow();

  // Intro tab.
  void TypesButtonClick();

  // Input tab.
  void FillInputTable();
  void StringGrid1SetEditText(int col, int row, const std::string& text);
  void NrOfDataEditExit();
  void ConfComboBoxChange();
  void PasteButtonClick();
  void HelpOpenButtonClick();
  void ClearButtonClick();
  void InputOpenActionExecute();

  // The calculation run.
  void InputSaveExecute();
  bool ConfirmSaveFile();
  // The calculation of the saved input file; false when the data were
  // refused (the reason has been shown).
  bool RunCalculation();

  // Output tab.
  void ExplainButtonClick();
  void AnovaButtonClick();
  void SymbolsButtonClick();
  void OutputOpenActionExecute();

  // Graphics tab.
  void GraphicsButtonClick();
  void RegButtonClick();
  void ConfButtonClick();
  void CalcObs_ButtonClick();
  void ZtypeButtonClick();
  void BPbuttonClick();
  void MakeGraphButtonClick();
  void GraphOpenActionExecute();
  void GraphSaveActionExecute();
  void SaveBlWhButtonClick();

  // Edit menu: the clipboard commands on the control that has the focus.
  void EditCopy1Execute();
  void EditCut1Execute();
  void EditPaste1Execute();

  // For tests and the start-up: the state behind the window.
  AppState& State() { return *s_; }
  InputPage& Input() { return *input_; }
  bool Calculated() const { return Calculated_; }
  const std::string& InputFileName() const { return InputFileName_; }
  const FileDialogOptions& InputSaveDialog() const { return InputSaveDialog_; }
  const FileDialogOptions& OutputOpenDialog() const { return OutputOpenDialog_; }

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose

 private:
  // Every command runs through here: a failure is shown and the program
  // goes on.
  void Command(const std::function<void()>& handler);
  template <typename Sender, typename Signal>
  void OnSignal(Sender* sender, Signal signal, void (TTulmexForm::*handler)()) {
    connect(sender, signal, this, [this, handler] { Command([this, handler] { (this->*handler)(); }); });
  }

  using Preference = kinvalo::Preference;
  // The preference of the option buttons.
  Preference ChosenPreference() const;

  void BuildMenu();
  void BuildIntroTab();
  void BuildInputTab();
  void BuildOutputTab();
  void BuildGraphicsTab();
  QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption);

  // Brings a page to the front and runs its show handler (also when it is
  // in front already).
  void ShowTab(QWidget* page);
  void PageChanged(int index);
  void RunShowHandler(QWidget* page);

  // Input tab helpers.
  void ShowInputPage();  // mirrors the input page's table and count box
  void CellTextChanged(int col, int row, const std::string& text);
  void CloseSymbolsPanel();
  void SetPanelOpen(QPlainTextEdit* memo, QPushButton* button, const char* openCaption,
                    const char* closedCaption, QPushButton* other);

  // Output tab helpers.
  // Into TextLines; false when the file holds too little to show. A file
  // that cannot be opened clears the output page and counts as loaded.
  bool LoadResult(const std::string& extension);
  bool LoadText(const std::string& kind);  // of the file DM.FileName
  void ShowTextLines();
  void SetExplainEnabled(bool enabled);
  void CloseConfidenceHelp();

  // Graphics tab helpers.
  // Reads the output file DM.FileName back and shows the messages of the
  // read; the model, or nothing when the file was refused.
  std::optional<GraphModel> ReadOutput();
  // Draws `kind` on a fresh picture and shows it; false when nothing was
  // drawn (the reason has been shown).
  bool Draw(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared);
  bool ShowDrawing(const DrawOutcome& outcome, QtCanvas& canvas);
  void SaveGraph(bool colour);
  void SetZtypeCaption(const char* caption);
  // The display options that the buttons of the graphics page stand for.
  GraphOptions& Options() { return s_->Graph.options; }

  // What the commands that bring new data or a new result put back on the
  // graphics page.
  enum class GraphicsReset : std::uint8_t {
    InputOpened,       // the page empties; the result's captions stay
    ResultCalculated,  // the options and captions start again
    ResultOpened,      // both
  };
  void ResetGraphicsPage(GraphicsReset reset);

  Platform& ui_;
  AppState* s_ = nullptr;
  std::unique_ptr<InputPage> input_;
  TFinishForm* FinishForm = nullptr;
  TSymbolsForm* SymbolsForm = nullptr;
  THelpForm* HelpForm = nullptr;
  TMoreInfoForm* MoreInfoForm = nullptr;

  // Window state.
  bool SaveCancelled = false;
  bool Calculated_ = false;
  std::string StartDir;
  std::string InputFileName_;
  QWidget* currentPage_ = nullptr;
  bool editingCount_ = false;
  bool placed_ = false;
  bool dying_ = false;
  // The output file on display was opened from disk, not calculated in
  // this run.
  bool ResultFromFile_ = false;
  // The output file read last has an explanation table.
  bool ExplainEnabled_ = true;
  // A graph or a picture stands on the graphics page.
  bool GraphShown_ = false;

  FileDialogOptions InputOpenDialog_, InputSaveDialog_, OutputOpenDialog_, OutputReadDialog_,
      GraphSaveDialog_, GraphOpenDialog_;

  // Actions and menu entries.
  QAction *InputOpenAction, *OutputOpenAction, *GraphOpenAction, *InputSaveAction, *GraphSaveAction,
      *FileExit1, *EditCopy1, *EditCut1, *EditPaste1;
  QAction *InputOpenMenu, *OutputOpenMenu, *GraphOpenMenu, *InputSaveMenu, *GraphSaveMenu, *ProgramExit,
      *Copy, *Cut, *Paste;

  QTabWidget* PageControl1;
  QWidget *IntroTabSheet, *InputTabSheet, *OutputTabSheet, *GraphicsTabSheet;

  // Intro tab.
  QPlainTextEdit *IntroMemo, *TypesMemo, *TestsMemo, *SequenceMemo, *MethodsMemo;
  QGroupBox* HelpGroupBox;
  QPushButton *TypesButton, *TestsButton, *SequenceButton, *MethodsButton, *BackButton, *MoreInfoButton;

  // Input tab.
  QLabel *FileNameLabel, *Title1Label, *Title2Label, *NrOfDataLabel, *ConfLabel, *Image1;
  QLineEdit *FileNameEdit, *Title1Edit, *Title2Edit, *NrOfDataEdit;
  QComboBox* ConfComboBox;
  QGroupBox* RadioGroup1;
  QRadioButton *RadioButton1, *RadioButton2, *RadioButton3;
  GridView* StringGrid1;
  InputTableModel* gridModel_ = nullptr;
  QPlainTextEdit *HelpMemo, *PasteMemo, *WaitMemo;
  QPushButton *HelpOpenButton, *PasteButton, *ClearButton, *InputOpenButton, *InputSaveButton;

  // Output tab.
  QPlainTextEdit* OutputMemo;
  QPushButton *ExplainButton, *AnovaButton, *SymbolsButton, *GraphicsButton, *ResultButton;

  // Graphics tab.
  QLabel *GraphImage, *PictureImage;
  QPushButton *SeeGraphButton, *MakeGraphButton, *SaveGraphButton, *SaveBlWhButton, *RegButton, *ConfButton,
      *CalcObs_Button, *ZtypeButton, *BPButton, *SelectButton;
};

}  // namespace kinvalo::app
