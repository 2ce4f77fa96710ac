#include "app/graphics_tab.h"

#include <QHBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/small_windows.h"
#include "core/paths.h"
#include "data/output_reader.h"
#include "graphs/graph_command.h"
#include "graphs/graph_draw.h"
#include "graphs/graph_prep.h"
#include "data/graph_model.h"
#include "render/graph_picture.h"
#include "render/qt_canvas.h"

namespace kinvalo::app {

namespace {

constexpr const char* kRegToFitted = "Show regression line";
constexpr const char* kRegToConnecting = "Show connecting line";
constexpr const char* kConfAdd = "Show confidence belt";
constexpr const char* kConfRemove = "Remove confidence belt";
constexpr const char* kLeastSquaresShow = "Show least squares";
constexpr const char* kLeastSquaresHide = "Hide least squares";
constexpr const char* kCalcObsTo = "See calc-obs graph";
constexpr const char* kCalcObsBack = "See regress. graph";
constexpr const char* kZtypeTo = "Show combination  Type 3 and 4";
constexpr const char* kZtypeBack = "Show best of the two";

constexpr const char* kOpenedPictureKinds =
    "A picture opened with Open graph is saved as a bitmap or a PNG of its own size only. "
    "For SVG, PDF or a larger PNG, draw the graph from its output file.";

}  // namespace

GraphicsTab::GraphicsTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
                         FileDialogs& dialogs, HelpWindow& help)
    : QWidget(parent), host_(host), s_(state), ui_(ui), actions_(actions), dialogs_(dialogs), help_(help) {
  setObjectName(QStringLiteral("GraphicsTabSheet"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 8, 4, 0);
  layout->setSpacing(3);
  // The graph is drawn at its own size; a smaller window scrolls it.
  auto* graphArea = new QScrollArea(this);
  graphArea->setObjectName(QStringLiteral("GraphArea"));
  graphArea->setFrameShape(QFrame::NoFrame);
  graphArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  graphArea->viewport()->setAutoFillBackground(false);
  auto* pictures = new QWidget(graphArea);
  pictures->setFixedSize(PictureWidth, PictureHeight);
  graphArea->setWidget(pictures);
  layout->addWidget(graphArea, 1);
  auto picture = [pictures](const char* name, int width) {
    auto* label = new QLabel(pictures);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(0, 0, width, PictureHeight);
    QPixmap blank(width, PictureHeight);
    blank.fill(Qt::white);
    label->setPixmap(blank);
    label->hide();
    return label;
  };
  GraphImage = picture("GraphImage", PictureWidth);
  // A bitmap saved earlier has the size of a graph.
  PictureImage = picture("PictureImage", PictureWidth);
  // The commands stand in one column; a hidden one leaves no gap.
  auto* column = new QWidget(this);
  column->setFixedWidth(210);
  layout->addWidget(column);
  auto* stack = new QVBoxLayout(column);
  stack->setContentsMargins(4, 0, 4, 8);
  auto button = [column, stack](const char* name, const char* caption) {
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
  LeastSquaresGraphButton = button("LeastSquaresGraphButton", kLeastSquaresShow);
  CalcObs_Button = button("CalcObs_Button", kCalcObsTo);
  ZtypeButton = button("ZtypeButton", kZtypeTo);
  BPButton = button("BPButton", "Confidence help");
  SelectButton = button("SelectButton", "Selection");
  stack->addStretch(1);
  for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, RegButton, ConfButton, LeastSquaresGraphButton,
                         CalcObs_Button, ZtypeButton, BPButton, SelectButton}) {
    b->hide();
  }
  ConfButton->setEnabled(false);
  MainActions::Bind(SeeGraphButton, actions_.GraphOpenAction);
  MainActions::Bind(SaveGraphButton, actions_.GraphSaveAction);
  OnSignal(host_, this, actions_.GraphOpenAction, &QAction::triggered, &GraphicsTab::GraphOpenActionExecute);
  OnSignal(host_, this, actions_.GraphSaveAction, &QAction::triggered, &GraphicsTab::GraphSaveActionExecute);
  OnSignal(host_, this, MakeGraphButton, &QPushButton::clicked, &GraphicsTab::MakeGraphButtonClick);
  OnSignal(host_, this, SaveBlWhButton, &QPushButton::clicked, &GraphicsTab::SaveBlWhButtonClick);
  OnSignal(host_, this, RegButton, &QPushButton::clicked, &GraphicsTab::RegButtonClick);
  OnSignal(host_, this, ConfButton, &QPushButton::clicked, &GraphicsTab::ConfButtonClick);
  OnSignal(host_, this, LeastSquaresGraphButton, &QPushButton::clicked, &GraphicsTab::LeastSquaresGraphButtonClick);
  OnSignal(host_, this, CalcObs_Button, &QPushButton::clicked, &GraphicsTab::CalcObs_ButtonClick);
  OnSignal(host_, this, ZtypeButton, &QPushButton::clicked, &GraphicsTab::ZtypeButtonClick);
  OnSignal(host_, this, BPButton, &QPushButton::clicked, &GraphicsTab::BPbuttonClick);
}

GraphicsTab::~GraphicsTab() {
  // Closing the controls below sends focus and visibility signals; no
  // command runs any more.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void GraphicsTab::GraphicsTabSheetShow() {
  actions_.InputSaveAction->setEnabled(false);
  host_.SetStatusText(QStringLiteral("Graphics presentations of output data can be seen and saved"));
  if (!GraphShown_) {
    actions_.GraphSaveAction->setEnabled(false);
    for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton}) b->hide();
    CloseConfidenceHelp();
  }
  // Without a result the page offers only to open a bitmap or an output
  // file.
  if (!s_.Output.calculated) HideResultCommands();
  else if (GraphShown_ && s_.bothTypesFound) ZtypeButton->show();
}

void GraphicsTab::HideResultCommands() {
  for (QPushButton* b : {RegButton, ConfButton, LeastSquaresGraphButton, CalcObs_Button, ZtypeButton}) b->hide();
}

void GraphicsTab::SetZtypeCaption(const char* caption) { ZtypeButton->setText(QString::fromLatin1(caption)); }

std::optional<GraphModel> GraphicsTab::ReadOutput() {
  GraphPage& page = s_.Graph;
  OutputReadResult read = ReadOutputFile(s_.DM.FileName, page.preparedType);
  for (const std::string& message : ReadMessages(read, page.olderFileWarned)) ui_.ShowMessage(message);
  page.olderFileWarned = page.olderFileWarned || read.olderFile;
  if (!read.model) return std::nullopt;
  s_.Output.explainEnabled = read.model->type != FunctionType::TwoSlopes;
  // The count of the working data follows the file read; the input table
  // keeps its rows that hold text.
  s_.DM.NrOfData = read.model->size();
  page.model = read.model;
  return std::move(read.model);
}

bool GraphicsTab::ShowDrawing(const DrawOutcome& outcome, const QImage& picture) {
  if (!outcome.message.empty()) ui_.ShowMessage(outcome.message);
  // Not drawn: the earlier picture stays as it was.
  if (!outcome.drawn) return false;
  GraphImage->setPixmap(QPixmap::fromImage(picture));
  GraphImage->show();
  BPButton->show();
  return true;
}

bool GraphicsTab::Draw(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared) {
  QtCanvas canvas;
  const DrawOutcome outcome = DrawGraph(kind, model, prepared, Options(), canvas);
  std::string note;
  if (outcome.drawn && kind == GraphKind::Partial && Options().leastSquares) {
    note = DrawLeastSquaresOver(s_.DM.FileName, kind, model, prepared, Options().colour, canvas);
  }
  const bool shown = ShowDrawing(outcome, canvas.Image());
  if (!note.empty()) ui_.ShowMessage(note);
  return shown;
}

void GraphicsTab::GraphicsButtonClick() {
  if (!s_.ResultToShow()) return;
  const std::optional<GraphModel> model = ReadOutput();
  if (!model) return;
  ShowGraph(*model);
}

void GraphicsTab::ShowGraph(const GraphModel& model) {
  GraphOptions& o = Options();
  // A file opened from disk tells itself whether it holds both types.
  if (s_.Output.fromFile) s_.bothTypesFound = FileShowsBothTypes(model);

  ConfButton->show();
  RegButton->show();
  PictureImage->hide();
  if (!s_.bothTypesFound) o.combined = false;
  // The least-squares line goes over the graph of a Type 3 or Type 4 result.
  LeastSquaresGraphButton->setVisible(HasHorizontalSegment(model.type));
  LeastSquaresGraphButton->setEnabled(!o.combined);
  o.regressionLine = false;
  const bool fitted = RegButton->text() == QLatin1String(kRegToConnecting);
  // The data are those of the calc-obs graph while that option stands,
  // whatever kind is drawn with them.
  s_.Graph.preparedType = PreparedTypeOf(model, o.calcObs);
  const PreparedGraph prepared = PrepareGraph(model, o.calcObs);
  SaveGraphButton->show();
  SaveBlWhButton->show();
  actions_.GraphSaveAction->setEnabled(true);
  SelectButton->hide();
  s_.Graph.preparedType = model.type;
  if (!HasHorizontalSegment(model.type)) {
    o.regressionLine = fitted;
    ConfButton->setEnabled(true);
    for (QPushButton* b : {CalcObs_Button, RegButton, ZtypeButton}) b->hide();
  } else {
    o.regressionLine = fitted;
    if (o.regressionLine && !s_.bothTypesFound) {
      CalcObs_Button->show();
      ConfButton->setEnabled(true);
    }
    o.block = true;
    RegButton->show();
    ZtypeButton->hide();
    if (s_.bothTypesFound) ZtypeButton->show();
  }
  if (WithoutBreakpoint(model.type)) {
    CalcObs_Button->hide();
    o.regressionLine = true;
    Draw(GraphKind::Regression, model, prepared);
  } else if (model.type != FunctionType::TwoSlopes) {
    Draw(o.combined ? GraphKind::Combined : GraphKind::Partial, model, prepared);
  }
  GraphShown_ = true;
  host_.ShowTab(Tab::Graphics);
}

void GraphicsTab::RegButtonClick() {
  if (!s_.ResultToShow()) return;
  GraphOptions& o = Options();
  if (RegButton->text() == QLatin1String(kRegToFitted)) {
    o.regressionLine = true;
    o.block = true;
    ConfButton->show();
    RegButton->setText(QString::fromLatin1(kRegToConnecting));
    RegButton->setEnabled(true);
    ConfButton->setText(QString::fromLatin1(kConfAdd));
    ConfButton->setEnabled(true);
    CalcObs_Button->show();
  } else {
    o.regressionLine = false;
    o.belt = false;
    o.block = true;
    ConfButton->setEnabled(false);
    RegButton->setText(QString::fromLatin1(kRegToFitted));
    CalcObs_Button->hide();
  }
  GraphicsButtonClick();
}

void GraphicsTab::ConfButtonClick() {
  if (!s_.ResultToShow()) return;
  GraphOptions& o = Options();
  if (ConfButton->text() != QLatin1String(kConfAdd)) {
    o.belt = false;
    o.block = true;
    if (o.regressionLine) ConfButton->setText(QString::fromLatin1(kConfAdd));
  } else {
    o.belt = o.regressionLine;
    o.block = true;
    if (o.regressionLine) ConfButton->setText(QString::fromLatin1(kConfRemove));
  }
  GraphicsButtonClick();
}

void GraphicsTab::LeastSquaresGraphButtonClick() {
  if (!s_.ResultToShow()) return;
  GraphOptions& o = Options();
  o.leastSquares = !o.leastSquares;
  LeastSquaresGraphButton->setText(QString::fromLatin1(o.leastSquares ? kLeastSquaresHide : kLeastSquaresShow));
  GraphicsButtonClick();
}

void GraphicsTab::CalcObs_ButtonClick() {
  if (!s_.ResultToShow()) return;
  GraphOptions& o = Options();
  const std::optional<GraphModel> model = ReadOutput();
  if (!model) return;
  if (CalcObs_Button->text() != QLatin1String(kCalcObsBack)) {
    for (QPushButton* b : {ConfButton, RegButton, ZtypeButton, LeastSquaresGraphButton}) b->hide();
    CalcObs_Button->setText(QString::fromLatin1(kCalcObsBack));
    o.calcObs = true;
    s_.Graph.preparedType = PreparedTypeOf(*model, true);
    const PreparedGraph prepared = PrepareGraph(*model, true);
    Draw(GraphKind::CalcObs, *model, prepared);
  } else {
    CalcObs_Button->setText(QString::fromLatin1(kCalcObsTo));
    ConfButton->show();
    RegButton->show();
    if (s_.bothTypesFound) ZtypeButton->show();
    o.calcObs = false;
    // The file as just read: the prepared type has not changed since.
    ShowGraph(*model);
  }
}

void GraphicsTab::ZtypeButtonClick() {
  if (!s_.ResultToShow()) return;
  GraphOptions& o = Options();
  CalcObs_Button->hide();
  o.regressionLine = false;
  if (ZtypeButton->text() != QLatin1String(kZtypeTo)) {
    SetZtypeCaption(kZtypeTo);
    RegButton->setEnabled(true);
    if (RegButton->text() == QLatin1String(kRegToConnecting)) {
      ConfButton->show();
      ConfButton->setEnabled(true);
    }
    o.combined = false;
  } else {
    SetZtypeCaption(kZtypeBack);
    ConfButton->setEnabled(false);
    RegButton->setEnabled(false);
    o.combined = true;
  }
  GraphicsButtonClick();
}

void GraphicsTab::ResetGraphicsPage(GraphicsReset reset) {
  GraphOptions& o = Options();
  if (reset != GraphicsReset::ResultCalculated) {
    GraphImage->hide();
    for (QPushButton* b :
         {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton, ConfButton, LeastSquaresGraphButton}) {
      b->hide();
    }
    if (reset == GraphicsReset::ResultOpened) CalcObs_Button->hide();
    actions_.GraphSaveAction->setEnabled(false);
    CloseConfidenceHelp();
  }
  o.calcObs = false;
  if (reset != GraphicsReset::InputOpened) {
    // A new result starts with the options of a first graph; the combined
    // graph of the last one leaves nothing greyed.
    o.belt = false;
    o.block = false;
    o.combined = false;
    o.regressionLine = false;
    o.leastSquares = false;
    LeastSquaresGraphButton->setText(QString::fromLatin1(kLeastSquaresShow));
    CalcObs_Button->setText(QString::fromLatin1(kCalcObsTo));
    SetZtypeCaption(kZtypeTo);
    ConfButton->setEnabled(false);
    RegButton->setEnabled(true);
  }
  ConfButton->setText(QString::fromLatin1(kConfAdd));
  RegButton->setText(QString::fromLatin1(kRegToFitted));
  if (reset == GraphicsReset::InputOpened) ZtypeButton->hide();
  if (reset == GraphicsReset::ResultCalculated) {
    const bool partial = HasHorizontalSegment(s_.resultType);
    for (QPushButton* b : {CalcObs_Button, RegButton, ZtypeButton}) b->setVisible(partial);
  }
}

void GraphicsTab::InputTabShown(bool calculated) {
  if (!calculated) {
    BPButton->hide();
    CloseConfidenceHelp();
  }
  GraphImage->hide();
  PictureImage->hide();
  GraphShown_ = false;
  for (QPushButton* b :
       {SaveGraphButton, SaveBlWhButton, SelectButton, ConfButton, LeastSquaresGraphButton, RegButton}) {
    b->hide();
  }
}

void GraphicsTab::OutputTabShown() {
  PictureImage->hide();
  GraphShown_ = false;
  for (QPushButton* b :
       {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton, ConfButton, LeastSquaresGraphButton, RegButton}) {
    b->hide();
  }
  CloseConfidenceHelp();
}

void GraphicsTab::FormCreate() {
  // Nothing of an earlier result stays on the page.
  ResetGraphicsPage(GraphicsReset::ResultOpened);
  HideResultCommands();
  PictureImage->hide();
  GraphShown_ = false;
  s_.bothTypesFound = false;
  Options().colour = true;
}

void GraphicsTab::CloseConfidenceHelp() { help_.close(); }

void GraphicsTab::BPbuttonClick() {
  help_.show();
  help_.raise();
}

void GraphicsTab::MakeGraphButtonClick() {
  ui_.ShowMessage("Determine folder and file name for graph creation");
  actions_.OutputOpenAction->trigger();
}

void GraphicsTab::GraphOpenActionExecute() {
  CalcObs_Button->hide();
  CalcObs_Button->setText(QString::fromLatin1(kCalcObsTo));
  const std::optional<std::string> path = ui_.OpenFileDialog(dialogs_.GraphOpen());
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
  openedPicture_ = bitmap;
  // Shown whole: a larger picture is shown smaller.
  const QSize area = PictureImage->size();
  if (bitmap.width() > area.width() || bitmap.height() > area.height()) {
    bitmap = bitmap.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  PictureImage->setPixmap(QPixmap::fromImage(bitmap));
  dialogs_.SetFolder(ExtractFilePath(*path));
  GraphShown_ = true;
  PictureImage->show();
  GraphImage->hide();
  actions_.GraphSaveAction->setEnabled(true);
  SaveGraphButton->show();
  SaveBlWhButton->show();
  emit PictureOpened();
  BPButton->hide();
  CloseConfidenceHelp();
  host_.ShowTab(Tab::Graphics);
}

void GraphicsTab::SaveGraph(bool colour) {
  // An opened bitmap is saved as it is shown, or in greys.
  if (!PictureImage->isHidden()) {
    const QImage shown = colour ? openedPicture_ : openedPicture_.convertToFormat(QImage::Format_Grayscale8);
    SaveToChosenFile(nullptr, shown, {});
    return;
  }
  if (!s_.ResultToShow()) return;
  // The black-and-white drawing stays on the tab; the next drawing is in
  // colour again.
  GraphOptions options = Options();
  options.colour = colour;
  // The least-squares line goes over the partial graph only, as shown.
  options.leastSquares = options.leastSquares && !options.combined && !options.calcObs;

  // Always a fresh drawing of the current output file with the current
  // options.
  GraphPicture canvas;
  GraphPage& page = s_.Graph;
  Redrawn redrawn = RedrawGraph(s_.DM.FileName, options, page.preparedType, canvas);
  for (const std::string& message : ReadMessages(redrawn.read, page.olderFileWarned)) ui_.ShowMessage(message);
  page.olderFileWarned = page.olderFileWarned || redrawn.read.olderFile;
  if (const std::optional<GraphModel>& model = redrawn.read.model) {
    s_.Output.explainEnabled = model->type != FunctionType::TwoSlopes;
    s_.DM.NrOfData = model->size();
    page.model = model;
    page.preparedType = PreparedTypeOf(*model, options.calcObs);
  }
  if (redrawn.failure) std::rethrow_exception(redrawn.failure);
  if (!ShowDrawing(redrawn.drawing, canvas.Image())) return;
  if (!redrawn.note.empty()) ui_.ShowMessage(redrawn.note);
  SaveToChosenFile(&canvas, {}, PictureTitle(*redrawn.read.model, s_.DM.FileName));
}

void GraphicsTab::SaveToChosenFile(GraphPicture* drawn, const QImage& opened, const std::string& title) {
  const std::optional<SaveChoice> chosen = ui_.SaveFileDialogWithFilter(dialogs_.GraphSave());
  if (!chosen) {
    ui_.ShowMessage("The graph was not saved");
    return;
  }
  // A name of another kind takes the extension of the filter chosen, which
  // also tells the size of a PNG.
  const GraphFileKind kind = FileDialogs::GraphSaveKind(chosen->filter);
  std::string path = chosen->path;
  if (!PictureFormatOf(path)) path += std::string(".") + kind.extension;
  const PictureFormat format = *PictureFormatOf(path);
  const int scale = format == PictureFormat::Png ? kind.scale : 1;
  const bool asShown = (format == PictureFormat::Bmp || format == PictureFormat::Png) && scale == 1;
  if (drawn == nullptr && !asShown) {
    ui_.ShowMessage(kOpenedPictureKinds);
    return;
  }
  if (FileExists(path) && !ui_.AskYesNo("The file already exists, overwrite?", DefaultAnswer::Yes)) return;
  std::string reason;
  if (drawn != nullptr ? !drawn->Save(path, scale, title, reason) : !SavePicture(opened, path, reason)) {
    ui_.ShowMessage(reason);
    return;
  }
  ui_.ShowMessage("The graph was saved in  " + path);
  dialogs_.SetFolder(ExtractFilePath(path));
}

void GraphicsTab::GraphSaveActionExecute() { SaveGraph(true); }

void GraphicsTab::SaveBlWhButtonClick() { SaveGraph(false); }

}  // namespace kinvalo::app
