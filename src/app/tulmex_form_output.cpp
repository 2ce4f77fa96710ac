// The Output tab: the output file, the explanation table and the ANOVA
// table of the current result, and "Open output".
#include <filesystem>
#include <system_error>

#include <QHBoxLayout>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

#include "app/small_forms.h"
#include "app/tulmex_form.h"
#include "core/paths.h"
#include "data/output_reader.h"

namespace kinvalo::app {

namespace {

// The folder of a file; the folder itself when the path names one.
std::string FolderOf(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return path.empty() || path.back() == '/' ? path : path + "/";
  }
  return ExtractFilePath(path);
}

}  // namespace

void TTulmexForm::BuildOutputTab() {
  OutputTabSheet = new QWidget(this);
  OutputTabSheet->setObjectName(QStringLiteral("OutputTabSheet"));
  auto* layout = new QHBoxLayout(OutputTabSheet);
  layout->setContentsMargins(8, 8, 8, 8);
  OutputMemo = new QPlainTextEdit(OutputTabSheet);
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
  ExplainButton = MakeButton(OutputTabSheet, "ExplainButton", "Explanation");
  AnovaButton = MakeButton(OutputTabSheet, "AnovaButton", "Anova table");
  SymbolsButton = MakeButton(OutputTabSheet, "SymbolsButton", "Symbols");
  GraphicsButton = MakeButton(OutputTabSheet, "GraphicsButton", "See graph");
  ResultButton = MakeButton(OutputTabSheet, "ResultButton", "Open output");
  for (QPushButton* b : {ExplainButton, AnovaButton, SymbolsButton, GraphicsButton, ResultButton}) {
    b->setMinimumWidth(130);
    side->addWidget(b);
  }
  side->addStretch(1);
  layout->addLayout(side);
  SymbolsButton->hide();

  OnSignal(ExplainButton, &QPushButton::clicked, &TTulmexForm::ExplainButtonClick);
  OnSignal(AnovaButton, &QPushButton::clicked, &TTulmexForm::AnovaButtonClick);
  OnSignal(SymbolsButton, &QPushButton::clicked, &TTulmexForm::SymbolsButtonClick);
  OnSignal(GraphicsButton, &QPushButton::clicked, &TTulmexForm::GraphicsButtonClick);
  connect(ResultButton, &QPushButton::clicked, OutputOpenAction, &QAction::trigger);
}

bool TTulmexForm::LoadResult(const std::string& extension) {
  WorkingData& dm = s_->DM;
  dm.FileName = ChangeFileExt(dm.FileName, extension);
  return LoadText(extension);
}

bool TTulmexForm::LoadText(const std::string& kind) {
  WorkingData& dm = s_->DM;
  // Lines of an earlier file must never stand in for a file that could not
  // be read.
  dm.TextLines.clear();
  dm.NrOfTextLines = 0;
  ResultText text = LoadResultText(dm.FileName, kind);
  for (const std::string& message : text.messages) ui_.ShowMessage(message);
  if (text.status == TextLoad::CannotOpen) {
    OutputMemo->clear();
    ShowTab(OutputTabSheet);
    return true;
  }
  dm.TextLines = std::move(text.lines);
  dm.NrOfTextLines = static_cast<std::int32_t>(dm.TextLines.size());
  return text.status == TextLoad::Loaded;
}

void TTulmexForm::ShowTextLines() {
  // The result files have short lines; a file that is not one may hold a
  // line of megabytes, which the memo would take minutes to lay out.
  constexpr size_t kShownLineLength = 2000;
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(s_->DM.TextLines.size()));
  for (const std::string& line : s_->DM.TextLines) {
    if (line.size() <= kShownLineLength) {
      lines << QString::fromStdString(line);
    } else {
      lines << QString::fromStdString(line.substr(0, kShownLineLength)) + QStringLiteral(" ...");
    }
  }
  OutputMemo->setPlainText(lines.join(QLatin1Char('\n')));
  OutputMemo->verticalScrollBar()->setValue(0);
}

void TTulmexForm::SetExplainEnabled(bool enabled) {
  ExplainButton->setEnabled(enabled);
  ExplainEnabled_ = enabled;
}

void TTulmexForm::OutputTabSheetShow() {
  SetStatusText(QStringLiteral("The output file can be inspected"));
  InputSaveMenu->setEnabled(false);
  GraphSaveMenu->setEnabled(false);
  PictureImage->hide();
  GraphShown_ = false;
  for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton, ConfButton, RegButton}) b->hide();
  CloseConfidenceHelp();
  if (Calculated_) {
    const std::optional<GraphModel> model = ReadOutput();
    ExplainButton->setEnabled(ExplainEnabled_);
    if (!model) return;
    if (AnovaButton->text() == QLatin1String("Close Anova")) SetExplainEnabled(false);
    else if (AnovaButton->text() == QLatin1String("Anova table")) SetExplainEnabled(true);
    // Only results with a breakpoint have an explanation table.
    if (WithoutBreakpoint(model->type)) SetExplainEnabled(false);
  } else {
    for (QWidget* w : {static_cast<QWidget*>(OutputMemo), static_cast<QWidget*>(ExplainButton),
                       static_cast<QWidget*>(AnovaButton), static_cast<QWidget*>(SymbolsButton),
                       static_cast<QWidget*>(GraphicsButton)}) {
      w->hide();
    }
  }
}

void TTulmexForm::OutputTabSheetExit() {
  if (SymbolsForm) SymbolsForm->close();
}

void TTulmexForm::ExplainButtonClick() {
  WorkingData& dm = s_->DM;
  if (ExplainButton->text() != QLatin1String("Explanation")) {
    ExplainButton->setText(QStringLiteral("Explanation"));
    SymbolsButton->setText(QStringLiteral("Symbols"));
    AnovaButton->setText(QStringLiteral("Anova table"));
    LoadResult(".out");
    ShowTextLines();
    SymbolsButton->show();
    GraphicsButton->show();
    AnovaButton->show();
  } else {
    ExplainButton->setText(QStringLiteral("Close file"));
    if (FileExists(ChangeFileExt(dm.FileName, ".txt"))) {
      const bool ok = LoadResult(".txt");
      dm.FileName = ChangeFileExt(dm.FileName, ".out");
      if (!ok) return;
      ShowTextLines();
      SymbolsButton->hide();
      if (SymbolsForm) SymbolsForm->close();
      GraphicsButton->hide();
      AnovaButton->hide();
    } else {
      ui_.ShowMessage("For regression function types other than 3 or 4 the explanation file does not exist");
      ExplainButton->setText(QStringLiteral("Explanation"));
      SetExplainEnabled(false);
    }
    dm.FileName = ChangeFileExt(dm.FileName, ".out");
  }
  ShowTab(OutputTabSheet);
}

void TTulmexForm::AnovaButtonClick() {
  WorkingData& dm = s_->DM;
  if (AnovaButton->text() == QLatin1String("Anova table")) {
    AnovaButton->setText(QStringLiteral("Close Anova"));
    const bool ok = LoadResult(".var");
    dm.FileName = ChangeFileExt(dm.FileName, ".out");
    // The loader has told why; a second click brings the output file back.
    if (!ok) return;
    ShowTextLines();
    SymbolsButton->hide();
    SetExplainEnabled(false);
    if (SymbolsForm) SymbolsForm->close();
    GraphicsButton->hide();
  } else {
    AnovaButton->setText(QStringLiteral("Anova table"));
    SymbolsButton->setText(QStringLiteral("Symbols"));
    ExplainButton->setText(QStringLiteral("Explanation"));
    LoadResult(".out");
    ShowTextLines();
    SetExplainEnabled(true);
    SymbolsButton->show();
    GraphicsButton->show();
  }
  ShowTab(OutputTabSheet);
}

void TTulmexForm::SymbolsButtonClick() {
  if (!SymbolsForm) return;
  SymbolsForm->show();
  SymbolsForm->raise();
}

void TTulmexForm::OutputOpenActionExecute() {
  WorkingData& dm = s_->DM;
  s_->Graph.olderFileWarned = false;
  const std::optional<std::string> path = ui_.OpenFileDialog(OutputOpenDialog_);
  const bool loaded = path && FileExists(*path);
  if (loaded) {
    dm.FileName = *path;
    LoadText(".out");
    ShowTextLines();
    Calculated_ = true;
    ResultFromFile_ = true;
    OutputMemo->show();
  } else if (path) {
    ui_.ShowMessage("File does not exist, please select another one,");
  } else {
    ui_.ShowMessage("No output file selected");
  }
  SetDialogFolders(FolderOf(dm.FileName));
  if (FileExists(ChangeFileExt(dm.FileName, ".txt"))) SetExplainEnabled(true);
  ResetGraphicsPage(GraphicsReset::ResultOpened);
  s_->bothTypesFound = false;
  SymbolsButton->setText(QStringLiteral("Symbols"));
  ExplainButton->setText(QStringLiteral("Explanation"));
  AnovaButton->setText(QStringLiteral("Anova table"));
  ShowTab(OutputTabSheet);
  // The output tab keeps its four commands, also when no file was chosen,
  // and says what the loaded file is good for.
  for (QPushButton* b : {ExplainButton, AnovaButton, SymbolsButton, GraphicsButton}) b->show();
  if (loaded) SetStatusText(QStringLiteral("The output file can be imported into spreadsheets"));
}

}  // namespace kinvalo::app
