#include "app/output_tab.h"

#include <filesystem>
#include <system_error>

#include <QHBoxLayout>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

#include "app/graphics_tab.h"
#include "app/settings.h"
#include "app/small_windows.h"
#include "core/paths.h"
#include "data/output_reader.h"

namespace kinvalo::app {

namespace {

constexpr const char* kLeastSquaresOpen = "Least squares";
constexpr const char* kLeastSquaresClose = "Close least squares";

// The folder of a file; the folder itself when the path names one.
std::string FolderOf(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return path.empty() || path.back() == '/' ? path : path + "/";
  }
  return ExtractFilePath(path);
}

}  // namespace

OutputTab::OutputTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
                     FileDialogs& dialogs, SymbolsWindow& symbols, GraphicsTab& graphics)
    : QWidget(parent),
      host_(host),
      s_(state),
      ui_(ui),
      actions_(actions),
      dialogs_(dialogs),
      symbols_(symbols),
      graphics_(graphics) {
  setObjectName(QStringLiteral("OutputTabSheet"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  OutputMemo = new QPlainTextEdit(this);
  OutputMemo->setObjectName(QStringLiteral("OutputMemo"));
  OutputMemo->setReadOnly(true);
  OutputMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  OutputMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  OutputMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont fixed(QStringLiteral("Courier New"), 10, QFont::Bold);
  fixed.setStyleHint(QFont::TypeWriter);
  OutputMemo->setFont(fixed);
  layout->addWidget(OutputMemo, 1);

  auto* side = new QVBoxLayout;
  ExplainButton = MakeButton(this, "ExplainButton", "Explanation");
  AnovaButton = MakeButton(this, "AnovaButton", "Anova table");
  LeastSquaresButton = MakeButton(this, "LeastSquaresButton", kLeastSquaresOpen);
  SymbolsButton = MakeButton(this, "SymbolsButton", "Symbols");
  GraphicsButton = MakeButton(this, "GraphicsButton", "See graph");
  ResultButton = MakeButton(this, "ResultButton", "Open output");
  for (QPushButton* b :
       {ExplainButton, AnovaButton, LeastSquaresButton, SymbolsButton, GraphicsButton, ResultButton}) {
    b->setMinimumWidth(130);
    side->addWidget(b);
  }
  side->addStretch(1);
  layout->addLayout(side);
  SymbolsButton->hide();

  OnSignal(host_, this, ExplainButton, &QPushButton::clicked, &OutputTab::ExplainButtonClick);
  OnSignal(host_, this, AnovaButton, &QPushButton::clicked, &OutputTab::AnovaButtonClick);
  OnSignal(host_, this, LeastSquaresButton, &QPushButton::clicked, &OutputTab::LeastSquaresButtonClick);
  OnSignal(host_, this, SymbolsButton, &QPushButton::clicked, &OutputTab::SymbolsButtonClick);
  OnSignal(host_, &graphics_, GraphicsButton, &QPushButton::clicked, &GraphicsTab::GraphicsButtonClick);
  MainActions::Bind(ResultButton, actions_.OutputOpenAction);
  OnSignal(host_, this, actions_.OutputOpenAction, &QAction::triggered, &OutputTab::OutputOpenActionExecute);
  connect(&graphics_, &GraphicsTab::PictureOpened, this, [this] {
    HideFile();
    HideCommands();
  });
}

OutputTab::~OutputTab() {
  // Closing the controls below sends focus and visibility signals; no
  // command runs any more.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void OutputTab::ResetCaptions() {
  SymbolsButton->setText(QStringLiteral("Symbols"));
  ExplainButton->setText(QStringLiteral("Explanation"));
  AnovaButton->setText(QStringLiteral("Anova table"));
  LeastSquaresButton->setText(QString::fromLatin1(kLeastSquaresOpen));
  LeastSquaresButton->setEnabled(true);
}

void OutputTab::ShowResult() {
  for (QWidget* w : {static_cast<QWidget*>(OutputMemo), static_cast<QWidget*>(ExplainButton),
                     static_cast<QWidget*>(AnovaButton), static_cast<QWidget*>(LeastSquaresButton),
                     static_cast<QWidget*>(SymbolsButton),
                     static_cast<QWidget*>(GraphicsButton)}) {
    w->show();
  }
}

void OutputTab::HideFile() { OutputMemo->hide(); }

void OutputTab::HideCommands() {
  for (QPushButton* b : {ExplainButton, AnovaButton, LeastSquaresButton, SymbolsButton, GraphicsButton}) b->hide();
}

bool OutputTab::LoadResult(const std::string& extension) {
  WorkingData& dm = s_.DM;
  dm.FileName = ChangeFileExt(dm.FileName, extension);
  return LoadText(extension);
}

bool OutputTab::LoadText(const std::string& kind) {
  WorkingData& dm = s_.DM;
  // Lines of an earlier file must never stand in for a file that could not
  // be read.
  dm.TextLines.clear();
  dm.NrOfTextLines = 0;
  ResultText text = LoadResultText(dm.FileName, kind);
  for (const std::string& message : text.messages) ui_.ShowMessage(message);
  if (text.status == TextLoad::CannotOpen) {
    OutputMemo->clear();
    host_.ShowTab(Tab::Output);
    return true;
  }
  dm.TextLines = std::move(text.lines);
  dm.NrOfTextLines = static_cast<std::int32_t>(dm.TextLines.size());
  return text.status == TextLoad::Loaded;
}

bool OutputTab::LoadSideFile(const std::string& extension) {
  WorkingData& dm = s_.DM;
  ResultText text = LoadResultText(ChangeFileExt(dm.FileName, extension), extension);
  for (const std::string& message : text.messages) ui_.ShowMessage(message);
  if (text.status != TextLoad::Loaded) return false;
  dm.TextLines = std::move(text.lines);
  dm.NrOfTextLines = static_cast<std::int32_t>(dm.TextLines.size());
  return true;
}

void OutputTab::ShowTextLines() {
  // The result files have short lines; a file that is not one may hold a
  // line of megabytes, which the memo would take minutes to lay out.
  constexpr size_t kShownLineLength = 2000;
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(s_.DM.TextLines.size()));
  for (const std::string& line : s_.DM.TextLines) {
    if (line.size() <= kShownLineLength) {
      lines << QString::fromStdString(line);
    } else {
      lines << QString::fromStdString(line.substr(0, kShownLineLength)) + QStringLiteral(" ...");
    }
  }
  OutputMemo->setPlainText(lines.join(QLatin1Char('\n')));
  OutputMemo->verticalScrollBar()->setValue(0);
}

void OutputTab::SetExplainEnabled(bool enabled) {
  ExplainButton->setEnabled(enabled);
  s_.Output.explainEnabled = enabled;
}

void OutputTab::OutputTabSheetShow() {
  host_.SetStatusText(QStringLiteral("The output file can be inspected"));
  actions_.InputSaveAction->setEnabled(false);
  actions_.GraphSaveAction->setEnabled(false);
  graphics_.OutputTabShown();
  if (s_.Output.calculated) {
    const std::optional<GraphModel> model = graphics_.ReadOutput();
    ExplainButton->setEnabled(s_.Output.explainEnabled);
    if (!model) return;
    if (AnovaButton->text() == QLatin1String("Close Anova") ||
        LeastSquaresButton->text() == QLatin1String(kLeastSquaresClose)) {
      SetExplainEnabled(false);
    }
    else if (AnovaButton->text() == QLatin1String("Anova table")) SetExplainEnabled(true);
    // Only results with a breakpoint have an explanation table.
    if (WithoutBreakpoint(model->type)) SetExplainEnabled(false);
  } else {
    HideFile();
    HideCommands();
  }
}

void OutputTab::OutputTabSheetExit() {
  symbols_.close();
}

void OutputTab::BackToOutputFile() {
  SymbolsButton->setText(QStringLiteral("Symbols"));
  ExplainButton->setText(QStringLiteral("Explanation"));
  LoadResult(".out");
  ShowTextLines();
  SymbolsButton->show();
  GraphicsButton->show();
}

void OutputTab::ShowSideTable() {
  ShowTextLines();
  SymbolsButton->hide();
  symbols_.close();
  GraphicsButton->hide();
}

void OutputTab::ExplainButtonClick() {
  if (!s_.ResultToShow()) return;
  WorkingData& dm = s_.DM;
  if (ExplainButton->text() != QLatin1String("Explanation")) {
    AnovaButton->setText(QStringLiteral("Anova table"));
    BackToOutputFile();
    AnovaButton->show();
    LeastSquaresButton->show();
  } else {
    if (FileExists(ChangeFileExt(dm.FileName, ".txt"))) {
      // A table that cannot be read has been reported; the output file
      // stays on display.
      if (!LoadSideFile(".txt")) return;
      ExplainButton->setText(QStringLiteral("Close file"));
      ShowSideTable();
      AnovaButton->hide();
      LeastSquaresButton->hide();
    } else {
      ui_.ShowMessage("For regression function types other than 3 or 4 the explanation file does not exist");
      SetExplainEnabled(false);
    }
    dm.FileName = ChangeFileExt(dm.FileName, ".out");
  }
  host_.ShowTab(Tab::Output);
}

void OutputTab::AnovaButtonClick() {
  if (!s_.ResultToShow()) return;
  if (AnovaButton->text() == QLatin1String("Anova table")) {
    // A table that cannot be read has been reported; the output file stays
    // on display.
    if (!LoadSideFile(".var")) return;
    AnovaButton->setText(QStringLiteral("Close Anova"));
    ShowSideTable();
    SetExplainEnabled(false);
    LeastSquaresButton->setEnabled(false);
  } else {
    AnovaButton->setText(QStringLiteral("Anova table"));
    BackToOutputFile();
    SetExplainEnabled(true);
    LeastSquaresButton->setEnabled(true);
  }
  host_.ShowTab(Tab::Output);
}

void OutputTab::LeastSquaresButtonClick() {
  if (!s_.ResultToShow()) return;
  if (LeastSquaresButton->text() == QLatin1String(kLeastSquaresOpen)) {
    // An output file from an older run has no report beside it; the output
    // file stays on display.
    if (!FileExists(ChangeFileExt(s_.DM.FileName, ".lsq"))) {
      ui_.ShowMessage("This result has no least-squares report. Please go to the input tabsheet and run the "
                      "program again to create it.");
      return;
    }
    if (!LoadSideFile(".lsq")) return;
    LeastSquaresButton->setText(QString::fromLatin1(kLeastSquaresClose));
    ShowSideTable();
    SetExplainEnabled(false);
    AnovaButton->hide();
  } else {
    LeastSquaresButton->setText(QString::fromLatin1(kLeastSquaresOpen));
    BackToOutputFile();
    SetExplainEnabled(true);
    AnovaButton->show();
  }
  host_.ShowTab(Tab::Output);
}

void OutputTab::SymbolsButtonClick() {
  symbols_.show();
  symbols_.raise();
}

void OutputTab::OutputOpenActionExecute() { ShowOutputFile(ui_.OpenFileDialog(dialogs_.OutputOpen())); }

void OutputTab::OpenOutputFile(const std::string& path) { ShowOutputFile(path); }

void OutputTab::ShowOutputFile(const std::optional<std::string>& path) {
  WorkingData& dm = s_.DM;
  s_.Graph.olderFileWarned = false;
  const bool loaded = path && FileExists(*path);
  if (loaded) {
    dm.FileName = *path;
    // Only a file that could be read goes on the recent files.
    if (LoadText(".out") && !dm.TextLines.empty()) RememberRecentFile(*path);
    ShowTextLines();
    s_.Output.calculated = true;
    s_.Output.fromFile = true;
    OutputMemo->show();
  } else if (path) {
    ui_.ShowMessage("File does not exist, please select another one,");
  } else {
    ui_.ShowMessage("No output file selected");
  }
  dialogs_.SetFolder(FolderOf(dm.FileName));
  if (FileExists(ChangeFileExt(dm.FileName, ".txt"))) SetExplainEnabled(true);
  graphics_.ResetGraphicsPage(GraphicsTab::GraphicsReset::ResultOpened);
  s_.bothTypesFound = false;
  ResetCaptions();
  host_.ShowTab(Tab::Output);
  // The output tab keeps its commands, also when no file was chosen (without
  // a result they say so), and says what the loaded file is good for.
  for (QPushButton* b : {ExplainButton, AnovaButton, LeastSquaresButton, SymbolsButton, GraphicsButton}) b->show();
  if (loaded) host_.SetStatusText(QStringLiteral("The output file can be imported into spreadsheets"));
}

}  // namespace kinvalo::app
