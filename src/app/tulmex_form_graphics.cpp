// The Graphics tab: the graph of the current output file with its display
// options, the calc-obs and combined graphs, saving the graph as a bitmap
// in colour or black and white, and showing a bitmap saved earlier. Every
// command reads the output file back; nothing is drawn from memory.
#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>
#include <cctype>

#include "app/small_forms.h"
#include "app/tulmex_form.h"
#include "core/paths.h"
#include "data/output_reader.h"
#include "graphs/graph_command.h"
#include "graphs/graph_draw.h"
#include "graphs/graph_prep.h"
#include "render/qt_canvas.h"

namespace kinvalo::app {

namespace {

constexpr const char* kRegToFitted = "Show regression line";
constexpr const char* kRegToConnecting = "Show connecting line";
constexpr const char* kConfAdd = "Show confidence belt";
constexpr const char* kConfRemove = "Remove confidence belt";
constexpr const char* kCalcObsTo = "See calc-obs graph";
constexpr const char* kCalcObsBack = "See regress. graph";
constexpr const char* kZtypeTo = "Show combination  Type 3 and 4";
constexpr const char* kZtypeBack = "Show best of the two";

// A graph is saved as a Windows bitmap unless the name asks for a PNG.
std::string WithPictureExtension(const std::string& path) {
  std::string extension = path.substr(ChangeFileExt(path, "").size());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".bmp" || extension == ".png" ? path : path + ".bmp";
}

}  // namespace

void TTulmexForm::BuildGraphicsTab() {
  GraphicsTabSheet = new QWidget(this);
  GraphicsTabSheet->setObjectName(QStringLiteral("GraphicsTabSheet"));
  auto picture = [this](const char* name, int width) {
    auto* label = new QLabel(GraphicsTabSheet);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(8, 8, width, 465);
    QPixmap blank(width, 465);
    blank.fill(Qt::white);
    label->setPixmap(blank);
    label->hide();
    return label;
  };
  GraphImage = picture("GraphImage", 623);
  PictureImage = picture("PictureImage", 609);
  // The commands stand in one column; a hidden one leaves no gap.
  auto* column = new QWidget(GraphicsTabSheet);
  column->setGeometry(634, 0, 210, 520);
  auto* stack = new QVBoxLayout(column);
  stack->setContentsMargins(4, 8, 4, 8);
  auto button = [this, column, stack](const char* name, const char* caption) {
    QPushButton* b = MakeButton(column, name, caption);
    b->setMinimumHeight(30);
    stack->addWidget(b);
    return b;
  };
  SeeGraphButton = button("SeeGraphButton", "Open graph");
  MakeGraphButton = button("MakeGraphButton", "Make graph");
  SaveGraphButton = button("SaveGraphButton", "Save color graph");
  SaveBlWhButton = button("SaveBlWhButton", " Save black-white graph");
  RegButton = button("RegButton", kRegToFitted);
  ConfButton = button("ConfButton", kConfAdd);
  CalcObs_Button = button("CalcObs_Button", kCalcObsTo);
  ZtypeButton = button("ZtypeButton", kZtypeTo);
  BPButton = button("BPButton", "Confidence help");
  SelectButton = button("SelectButton", "Selection");
  stack->addStretch(1);
  for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, ConfButton, CalcObs_Button, ZtypeButton, BPButton,
                         SelectButton}) {
    b->hide();
  }
  ConfButton->setEnabled(false);
  connect(SeeGraphButton, &QPushButton::clicked, GraphOpenAction, &QAction::trigger);
  connect(SaveGraphButton, &QPushButton::clicked, GraphSaveAction, &QAction::trigger);
  OnSignal(MakeGraphButton, &QPushButton::clicked, &TTulmexForm::MakeGraphButtonClick);
  OnSignal(SaveBlWhButton, &QPushButton::clicked, &TTulmexForm::SaveBlWhButtonClick);
  OnSignal(RegButton, &QPushButton::clicked, &TTulmexForm::RegButtonClick);
  OnSignal(ConfButton, &QPushButton::clicked, &TTulmexForm::ConfButtonClick);
  OnSignal(CalcObs_Button, &QPushButton::clicked, &TTulmexForm::CalcObs_ButtonClick);
  OnSignal(ZtypeButton, &QPushButton::clicked, &TTulmexForm::ZtypeButtonClick);
  OnSignal(BPButton, &QPushButton::clicked, &TTulmexForm::BPbuttonClick);
}

void TTulmexForm::GraphicsTabSheetShow() {
  InputSaveMenu->setEnabled(false);
  SetStatusText(QStringLiteral("Graphics presentations of output data can be seen and saved"));
  if (!s_->Graph.GraphShown) {
    GraphSaveMenu->setEnabled(false);
    for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton}) b->hide();
    s_->Controls.SelectButtonVisible = false;
    s_->Controls.BPButtonVisible = false;
    CloseConfidenceHelp();
  }
  if (s_->Graph.GraphShown && s_->R.BothTypesFound) ZtypeButton->show();
}

void TTulmexForm::SetZtypeCaption(const char* caption) {
  s_->Controls.ZtypeButtonCaption = caption;
  ZtypeButton->setText(QString::fromLatin1(caption));
}

bool TTulmexForm::ShowPicture(QtCanvas& canvas) {
  if (!s_->Controls.GraphImageVisible) {
    // Nothing was drawn: the earlier picture stays as it was.
    s_->Controls.GraphImageVisible = !GraphImage->isHidden();
    return false;
  }
  GraphImage->setPixmap(QPixmap::fromImage(canvas.Image()));
  GraphImage->show();
  if (s_->Controls.BPButtonVisible) BPButton->show();
  return true;
}

bool TTulmexForm::Draw(void (*routine)(AppState&, Canvas&)) {
  QtCanvas canvas;
  s_->Controls.GraphImageVisible = false;
  s_->Controls.SelectButtonVisible = !SelectButton->isHidden();
  try {
    routine(*s_, canvas);
  } catch (const GraphRefused& refused) {
    s_->Controls.GraphImageVisible = !GraphImage->isHidden();
    ui_.ShowMessage(refused.what());
    return false;
  }
  return ShowPicture(canvas);
}

void TTulmexForm::PrepareGraph() {
  SelectGraphData(*s_);
  ScaleAxes(*s_);
  SetAxisLabels(*s_);
}

void TTulmexForm::GraphicsButtonClick() {
  TDMTulmex& dm = s_->DM;
  GraphState& g = s_->Graph;
  SharedResults& r = s_->R;
  dm.GraphKind.assign(1, ' ');  // a single blank
  if (!ProbeOutputFile(*s_)) return;
  ReadOutputFile(*s_);
  if (dm.NotOutputFile) return;
  // A file opened from disk tells itself whether it holds both types.
  if (ResultFromFile_) r.BothTypesFound = FileShowsBothTypes(*s_);

  ConfButton->show();
  RegButton->show();
  PictureImage->hide();
  if (!r.BothTypesFound) g.CombineTypes = false;
  g.ShowRegressionLine = false;
  const bool fitted = RegButton->text() == QLatin1String(kRegToConnecting);
  if (dm.GraphKind == " Fun") {
    PrepareGraph();
    SaveGraphButton->show();
    SaveBlWhButton->show();
    GraphSaveMenu->setEnabled(true);
    SelectButton->hide();
    g.GraphCode = 0;
    g.GraphType = g.FileType;
    if (g.GraphType != 3 && g.GraphType != 4) {
      g.ShowRegressionLine = fitted;
      ConfButton->setEnabled(true);
      for (QPushButton* b : {CalcObs_Button, RegButton, ZtypeButton}) b->hide();
    } else {
      g.ShowRegressionLine = fitted;
      if (g.ShowRegressionLine && !r.BothTypesFound) {
        CalcObs_Button->show();
        ConfButton->setEnabled(true);
      }
      g.ShowBlock = true;
      RegButton->show();
      ZtypeButton->hide();
      g.CombinedShown = false;
      if (r.BothTypesFound) {
        ZtypeButton->show();
        g.CombinedShown = true;
      }
    }
    if (g.GraphType < 2) {
      CalcObs_Button->hide();
      g.ShowRegressionLine = true;
      Draw(DrawRegressionGraph);
    } else if (g.GraphType > 2) {
      g.CombinedShown = g.CombineTypes;
      Draw(g.CombineTypes ? DrawCombinedGraph : DrawPartialGraph);
    }
  }
  g.GraphShown = true;
  ShowTab(GraphicsTabSheet);
}

void TTulmexForm::RegButtonClick() {
  GraphState& g = s_->Graph;
  if (RegButton->text() == QLatin1String(kRegToFitted)) {
    g.ShowRegressionLine = true;
    g.ShowBlock = true;
    ConfButton->show();
    RegButton->setText(QString::fromLatin1(kRegToConnecting));
    RegButton->setEnabled(true);
    ConfButton->setText(QString::fromLatin1(kConfAdd));
    ConfButton->setEnabled(true);
    CalcObs_Button->show();
  } else {
    g.ShowRegressionLine = false;
    g.ShowBelt = false;
    g.ShowBlock = true;
    ConfButton->setEnabled(false);
    RegButton->setText(QString::fromLatin1(kRegToFitted));
    CalcObs_Button->hide();
  }
  GraphicsButtonClick();
}

void TTulmexForm::ConfButtonClick() {
  GraphState& g = s_->Graph;
  if (ConfButton->text() != QLatin1String(kConfAdd)) {
    g.ShowBelt = false;
    g.ShowBlock = true;
    if (g.ShowRegressionLine) ConfButton->setText(QString::fromLatin1(kConfAdd));
  } else {
    g.ShowBelt = g.ShowRegressionLine;
    g.ShowBlock = true;
    if (g.ShowRegressionLine) ConfButton->setText(QString::fromLatin1(kConfRemove));
  }
  GraphicsButtonClick();
}

void TTulmexForm::CalcObs_ButtonClick() {
  GraphState& g = s_->Graph;
  ReadOutputFile(*s_);
  if (s_->DM.NotOutputFile) return;
  if (CalcObs_Button->text() != QLatin1String(kCalcObsBack)) {
    for (QPushButton* b : {ConfButton, RegButton, ZtypeButton}) b->hide();
    CalcObs_Button->setText(QString::fromLatin1(kCalcObsBack));
    g.GraphMode = 3;
    PrepareGraph();
    Draw(DrawRegressionGraph);
  } else {
    CalcObs_Button->setText(QString::fromLatin1(kCalcObsTo));
    ConfButton->show();
    RegButton->show();
    if (s_->R.BothTypesFound) ZtypeButton->show();
    g.GraphMode = 0;
    GraphicsButtonClick();
  }
}

void TTulmexForm::ZtypeButtonClick() {
  GraphState& g = s_->Graph;
  CalcObs_Button->hide();
  g.ShowRegressionLine = false;
  if (ZtypeButton->text() != QLatin1String(kZtypeTo)) {
    SetZtypeCaption(kZtypeTo);
    RegButton->setEnabled(true);
    if (RegButton->text() == QLatin1String(kRegToConnecting)) {
      ConfButton->show();
      ConfButton->setEnabled(true);
    }
    g.CombineTypes = false;
    g.CombinedShown = false;
  } else {
    SetZtypeCaption(kZtypeBack);
    ConfButton->setEnabled(false);
    RegButton->setEnabled(false);
    g.CombineTypes = true;
    g.CombinedShown = true;
  }
  GraphicsButtonClick();
}

void TTulmexForm::BPbuttonClick() {
  if (!HelpForm) return;
  HelpForm->show();
  HelpForm->raise();
}

void TTulmexForm::MakeGraphButtonClick() {
  ui_.ShowMessage("Determine folder and file name for graph creation");
  OutputOpenActionExecute();
}

void TTulmexForm::GraphOpenActionExecute() {
  CalcObs_Button->hide();
  CalcObs_Button->setText(QString::fromLatin1(kCalcObsTo));
  const std::optional<std::string> path = ui_.OpenFileDialog(GraphOpenDialog_);
  if (!path) {
    ui_.ShowMessage("No graphics file selected");
    return;
  }
  if (!FileExists(*path)) {
    ui_.ShowMessage("File does not exist, please select another one");
    return;
  }
  QImage bitmap;
  if (!bitmap.load(QString::fromStdString(*path))) {
    ui_.ShowMessage("The file \"" + *path + "\" is not a picture that can be shown.");
    return;
  }
  PictureImage->setPixmap(QPixmap::fromImage(bitmap));
  SetDialogFolders(ExtractFilePath(*path));
  s_->Graph.GraphShown = true;
  PictureImage->show();
  GraphImage->hide();
  s_->Controls.GraphImageVisible = false;
  GraphSaveMenu->setEnabled(true);
  GraphSaveAction->setEnabled(true);
  SaveGraphButton->show();
  SaveBlWhButton->show();
  for (QWidget* w : {static_cast<QWidget*>(OutputMemo), static_cast<QWidget*>(GraphicsButton),
                     static_cast<QWidget*>(SymbolsButton), static_cast<QWidget*>(BPButton),
                     static_cast<QWidget*>(ExplainButton), static_cast<QWidget*>(AnovaButton)}) {
    w->hide();
  }
  s_->Controls.BPButtonVisible = false;
  CloseConfidenceHelp();
  ShowTab(GraphicsTabSheet);
}

void TTulmexForm::SaveGraph(bool colour) {
  GraphState& g = s_->Graph;
  g.ColourGraph = colour;
  // The black-and-white drawing stays on the tab; the next drawing is in
  // colour again.
  struct ColourBack {
    GraphState& g;
    ~ColourBack() { g.ColourGraph = true; }
  } colourBack{g};

  // Always a fresh drawing of the current output file with the current
  // options, also when an opened bitmap is on the tab.
  QtCanvas canvas;
  s_->Controls.GraphImageVisible = false;
  s_->Controls.SelectButtonVisible = !SelectButton->isHidden();
  bool drawn = false;
  try {
    drawn = RedrawGraph(*s_, canvas);
  } catch (const GraphRefused& refused) {
    s_->Controls.GraphImageVisible = !GraphImage->isHidden();
    ui_.ShowMessage(refused.what());
    return;
  }
  if (!drawn) {
    ShowPicture(canvas);
    return;
  }
  ShowPicture(canvas);
  PictureImage->hide();

  const std::optional<std::string> chosen = ui_.SaveFileDialog(GraphSaveDialog_);
  if (!chosen) {
    ui_.ShowMessage("The graph was not saved");
    return;
  }
  const std::string path = WithPictureExtension(*chosen);
  if (FileExists(path) && !ui_.AskYesNo("The file already exists, overwrite?")) return;
  std::string reason;
  if (!canvas.Save(path, reason)) {
    ui_.ShowMessage(reason);
    return;
  }
  ui_.ShowMessage("The graph was saved in  " + path);
  SetDialogFolders(ExtractFilePath(path));
}

void TTulmexForm::GraphSaveActionExecute() { SaveGraph(true); }

void TTulmexForm::SaveBlWhButtonClick() { SaveGraph(false); }

}  // namespace kinvalo::app
