#include "app/input_tab.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QVBoxLayout>

#include "app/help_texts.h"
#include "app/graphics_tab.h"
#include "app/output_tab.h"
#include "app/settings.h"
#include "app/small_windows.h"
#include "app/types_picture.h"
#include "core/paths.h"

namespace kinvalo::app {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* hint) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFixedHeight(24);
  if (hint) edit->setToolTip(QString::fromLatin1(hint));
  return edit;
}

// An open help panel stands where the picture of the two types is; the
// picture comes back when both panels are closed.
class PictureGivesWay : public QObject {
 public:
  PictureGivesWay(QWidget* picture, std::initializer_list<QWidget*> panels)
      : QObject(picture), picture_(picture), panels_(panels) {
    for (QWidget* panel : panels_) panel->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
      picture_->setVisible(std::all_of(panels_.begin(), panels_.end(), [](QWidget* p) { return p->isHidden(); }));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* const picture_;
  const std::vector<QWidget*> panels_;
};

}  // namespace

InputTab::InputTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
                   FileDialogs& dialogs, OutputTab& output, GraphicsTab& graphics)
    : QScrollArea(parent),
      host_(host),
      s_(state),
      ui_(ui),
      actions_(actions),
      dialogs_(dialogs),
      output_(output),
      graphics_(graphics),
      input_(std::make_unique<InputPage>(state.DM)) {
  setObjectName(QStringLiteral("InputTabSheet"));
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  // The titles span the page; below them the table, the settings and
  // commands, and the picture of the two types (or an open help panel).
  // The table and the panels take the height of the window; under the
  // smallest size of the layout the page scrolls.
  auto* page = new QWidget(this);
  setWidget(page);
  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(10, 8, 10, 8);
  pageLayout->setSpacing(8);

  auto* titles = new QGridLayout;
  titles->setHorizontalSpacing(12);
  titles->setVerticalSpacing(8);
  titles->setColumnMinimumWidth(0, 48);
  titles->setColumnStretch(1, 1);
  pageLayout->addLayout(titles);
  Title1Label = MakeLabel(page, "Title1Label", "Title1");
  Title1Edit = MakeEdit(page, "Title1Edit", "General information");
  Title2Label = MakeLabel(page, "Title2Label", "Title2");
  Title2Edit = MakeEdit(page, "Title2Edit", "Details about the variables and units");
  FileNameLabel = MakeLabel(page, "FileNameLabel", "File");
  FileNameEdit = MakeEdit(page, "FileNameEdit", nullptr);
  FileNameEdit->setReadOnly(true);
  int titleRow = 0;
  for (auto [label, edit] : {std::pair{Title1Label, Title1Edit}, std::pair{Title2Label, Title2Edit},
                             std::pair{FileNameLabel, FileNameEdit}}) {
    titles->addWidget(label, titleRow, 0);
    titles->addWidget(edit, titleRow++, 1);
  }
  // The table does not move when the file's name comes and goes.
  for (QWidget* w : {static_cast<QWidget*>(FileNameLabel), static_cast<QWidget*>(FileNameEdit)}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
    w->hide();
  }

  auto* body = new QHBoxLayout;
  body->setSpacing(20);
  pageLayout->addLayout(body, 1);

  // The table's place is as wide as the wide table, so that the commands
  // stay put when it narrows.
  auto* tablePlace = new QWidget(page);
  tablePlace->setFixedWidth(InputTable::kWideWidth);
  auto* tableLayout = new QVBoxLayout(tablePlace);
  tableLayout->setContentsMargins(0, 0, 0, 0);
  body->addWidget(tablePlace);
  StringGrid1 = new GridView(tablePlace);
  tableLayout->addWidget(StringGrid1, 1, Qt::AlignLeft);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setToolTip(QStringLiteral("Y = dependent variable, X, Z independent"));
  StringGrid1->setFixedWidth(InputTable::kWideWidth);
  StringGrid1->setMinimumHeight(8 * InputTable::kDefaultRowHeight);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setMinimumSectionSize(InputTable::kDefaultRowHeight);
  StringGrid1->verticalHeader()->setDefaultSectionSize(InputTable::kDefaultRowHeight);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid1->horizontalHeader()->setMinimumSectionSize(20);
  StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  StringGrid1->horizontalHeader()->setHighlightSections(false);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
  StringGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  StringGrid1->setTabKeyNavigation(true);
  StringGrid1->setWordWrap(false);

  constexpr int kCommandWidth = 210;
  auto* commands = new QWidget(page);
  commands->setFixedWidth(kCommandWidth);
  auto* column = new QVBoxLayout(commands);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  body->addWidget(commands);
  auto* counts = new QGridLayout;
  counts->setVerticalSpacing(10);
  counts->setColumnStretch(0, 1);
  column->addLayout(counts);
  NrOfDataLabel = MakeLabel(commands, "NrOfDataLabel", "Nr. of data sets");
  NrOfDataEdit = MakeEdit(commands, "NrOfDataEdit", "Between 6 and 900");
  NrOfDataEdit->setFixedWidth(60);
  NrOfDataEdit->setText(QStringLiteral("15"));
  ConfLabel = MakeLabel(commands, "ConfLabel", "Minimum confidence %");
  ConfComboBox = new QComboBox(commands);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("98")});
  ConfComboBox->setCurrentIndex(0);
  ConfComboBox->setFixedSize(60, 24);
  counts->addWidget(NrOfDataLabel, 0, 0);
  counts->addWidget(NrOfDataEdit, 0, 1);
  counts->addWidget(ConfLabel, 1, 0);
  counts->addWidget(ConfComboBox, 1, 1);
  column->addSpacing(6);

  RadioGroup1 = new QGroupBox(QStringLiteral("Express preference"), commands);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  auto* options = new QVBoxLayout(RadioGroup1);
  options->setContentsMargins(14, 8, 10, 8);
  auto radio = [this, options](const char* name, const char* caption) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), RadioGroup1);
    button->setObjectName(QString::fromLatin1(name));
    options->addWidget(button);
    return button;
  };
  RadioButton1 = radio("RadioButton1", "Prefer Type 3");
  RadioButton2 = radio("RadioButton2", "Prefer Type 4");
  RadioButton3 = radio("RadioButton3", "Best of the two");
  RadioButton3->setChecked(true);
  column->addWidget(RadioGroup1);
  column->addSpacing(10);

  HelpOpenButton = MakeButton(commands, "HelpOpenButton", "Symbols help");
  PasteButton = MakeButton(commands, "PasteButton", "Paste help");
  ClearButton = MakeButton(commands, "ClearButton", "Clear data");
  InputOpenButton = MakeButton(commands, "InputOpenButton", "Open input");
  InputSaveButton = MakeButton(commands, "InputSaveButton", "Save/calculate");
  for (QPushButton* b : {HelpOpenButton, PasteButton, ClearButton, InputOpenButton}) {
    b->setFixedHeight(30);
    column->addWidget(b);
    if (b == ClearButton) column->addSpacing(14);
  }
  InputSaveButton->setFixedHeight(40);
  column->addWidget(InputSaveButton);
  column->addStretch(1);
  QFont bold = InputSaveButton->font();
  bold.setBold(true);
  InputSaveButton->setFont(bold);

  auto* side = new QVBoxLayout;
  side->setSpacing(20);
  body->addLayout(side, 1);
  Image1 = new QLabel(page);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(DrawTypesPicture());
  Image1->setFixedSize(kTypesPictureWidth, kTypesPictureHeight);
  side->addWidget(Image1, 0, Qt::AlignLeft);

  WaitMemo = new QPlainTextEdit(page);
  WaitMemo->setObjectName(QStringLiteral("WaitMemo"));
  WaitMemo->setReadOnly(true);
  WaitMemo->setFocusPolicy(Qt::NoFocus);
  WaitMemo->setFixedSize(kTypesPictureWidth, 142);
  WaitMemo->setStyleSheet(QStringLiteral(
      "QPlainTextEdit { background: #0000C0; color: #FFFF00; font-family: 'Courier New'; font-size: 11pt; "
      "font-weight: bold; }"));
  WaitMemo->hide();
  side->addWidget(WaitMemo, 0, Qt::AlignLeft);

  HelpMemo = MakeMemo(page, "HelpMemo", texts::kSymbolsHelp, QColor(0xE8, 0xFF, 0xF0));
  PasteMemo = MakeMemo(page, "PasteMemo", texts::kPasteHelp, QColor(0xFF, 0xF8, 0xE0));
  for (QPlainTextEdit* memo : {HelpMemo, PasteMemo}) {
    memo->setMinimumWidth(kTypesPictureWidth);
    memo->setFont(QFont(QStringLiteral("Arial"), 10));
    memo->hide();
    side->addWidget(memo, 1);
  }
  side->addStretch(0);
  new PictureGivesWay(Image1, {HelpMemo, PasteMemo});

  connect(NrOfDataEdit, &QLineEdit::textEdited, this,
          [this](const QString& text) { input_->NrOfDataEdit = text.toStdString(); });
  OnSignal(host_, this, NrOfDataEdit, &QLineEdit::editingFinished, &InputTab::NrOfDataEditExit);
  OnSignal(host_, this, ConfComboBox, &QComboBox::currentIndexChanged, &InputTab::ConfComboBoxChange);
  OnSignal(host_, this, HelpOpenButton, &QPushButton::clicked, &InputTab::HelpOpenButtonClick);
  OnSignal(host_, this, PasteButton, &QPushButton::clicked, &InputTab::PasteButtonClick);
  OnSignal(host_, this, ClearButton, &QPushButton::clicked, &InputTab::ClearButtonClick);
  MainActions::Bind(InputOpenButton, actions_.InputOpenAction);
  MainActions::Bind(InputSaveButton, actions_.InputSaveAction);
  OnSignal(host_, this, actions_.InputOpenAction, &QAction::triggered, &InputTab::InputOpenActionExecute);
  OnSignal(host_, this, actions_.DataOpenAction, &QAction::triggered, &InputTab::DataOpenActionExecute);
  OnSignal(host_, this, actions_.InputSaveAction, &QAction::triggered, &InputTab::InputSaveExecute);
  connect(StringGrid1, &GridView::PasteRequested, this, [this](const QModelIndex& index) {
    if (!index.isValid() || index.column() == 0) return;
    CellTextChanged(index.column(), index.row() + 1, QApplication::clipboard()->text().toStdString());
  });
  connect(StringGrid1, &GridView::CutRequested, this, [this](const QModelIndex& index) {
    if (!index.isValid() || index.column() == 0) return;
    QApplication::clipboard()->setText(index.data().toString());
    CellTextChanged(index.column(), index.row() + 1, std::string());
  });
  connect(StringGrid1, &GridView::ClearRequested, this, [this](const QModelIndexList& indexes) {
    host_.Command([this, indexes] {
      for (const QModelIndex& index : indexes) {
        if (index.column() > 0 && !index.data().toString().isEmpty()) {
          input_->StringGrid1SetEditText(index.column(), index.row() + 1, std::string());
        }
      }
    });
    ShowInputPage();
  });

  gridModel_ = new InputTableModel(input_->Grid, StringGrid1);
  auto onEdit = [this](int col, int row, const std::string& text) { CellTextChanged(col, row, text); };
  gridModel_->SetEditHandler(onEdit);
  StringGrid1->setModel(gridModel_);
  StringGrid1->setItemDelegate(new CellDelegate(StringGrid1, onEdit));
}

InputTab::~InputTab() {
  // Closing the controls below sends focus and visibility signals; no
  // command runs any more.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  // The table's view reads the input page; it goes first.
  StringGrid1->setModel(nullptr);
  delete gridModel_;
  gridModel_ = nullptr;
}

void InputTab::FormCreate() {
  input_->W.DataPresent = false;
  input_->W.Unsaved = false;
  FileNameLabel->hide();
  FileNameEdit->hide();
  const QString mark = QLocale().decimalPoint();
  input_->W.SystemDecimalSeparator = mark == QStringLiteral(",") ? ',' : '.';
  input_->W.DecimalSeparator = input_->W.SystemDecimalSeparator;
}

void InputTab::ShowInputPage() {
  gridModel_->Sync();
  StringGrid1->setFixedWidth(input_->Grid.Width());
  for (int col = 0; col < InputTable::kColumns; ++col) {
    StringGrid1->setColumnWidth(col, InputTable::kColumnWidths[col]);
  }
  const QString count = QString::fromStdString(input_->NrOfDataEdit);
  if (NrOfDataEdit->text() != count) NrOfDataEdit->setText(count);
}

void InputTab::InputTabSheetShow() {
  host_.SetStatusText(QStringLiteral("Enter data or use \"Open\" to edit existing data. Then use \"Save-Calculate\"."));
  CloseSymbolsPanel();
  actions_.InputSaveAction->setEnabled(true);
  InputSaveButton->show();
  input_->W.InEdit = false;
  if (!s_.Output.calculated) output_.HideCommands();
  graphics_.InputTabShown(s_.Output.calculated);
  if (!input_->W.DataPresent) {
    FileNameLabel->hide();
    FileNameEdit->hide();
    Title1Edit->clear();
    Title2Edit->clear();
  }
  input_->LayOutTable();
  ShowInputPage();
}

void InputTab::FillInputTable() {
  input_->FillInputTable();
  ShowInputPage();
}

void InputTab::StringGrid1SetEditText(int col, int row, const std::string& text) {
  input_->StringGrid1SetEditText(col, row, text);
  ShowInputPage();
}

void InputTab::CellTextChanged(int col, int row, const std::string& text) {
  host_.Command([this, col, row, &text] { input_->StringGrid1SetEditText(col, row, text); });
  ShowInputPage();
}

void InputTab::NrOfDataEditExit() {
  // A message box takes the focus from the count box; that is no second exit.
  if (editingCount_) return;
  editingCount_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{editingCount_};
  input_->NrOfDataEdit = NrOfDataEdit->text().toStdString();
  input_->NrOfDataEditExit();
  ShowInputPage();
}

void InputTab::ConfComboBoxChange() {
  s_.confidence = Confidence::FromIndex(ConfComboBox->currentIndex());
}

void InputTab::SetPanelOpen(QPlainTextEdit* memo, QPushButton* button, const char* openCaption,
                               const char* closedCaption, QPushButton* other) {
  const bool open = memo->isHidden();
  memo->setVisible(open);
  if (open) memo->raise();
  button->setText(QString::fromLatin1(open ? openCaption : closedCaption));
  StringGrid1->setVisible(!open);
  for (QPushButton* b : {ClearButton, other, InputSaveButton, InputOpenButton}) b->setEnabled(!open);
}

void InputTab::PasteButtonClick() {
  SetPanelOpen(PasteMemo, PasteButton, "Close paste", "Paste help", HelpOpenButton);
}

void InputTab::HelpOpenButtonClick() {
  SetPanelOpen(HelpMemo, HelpOpenButton, "Close symbols", "Symbols help ", PasteButton);
}

void InputTab::ShowHelp() {
  if (HelpMemo->isHidden() && PasteMemo->isHidden()) HelpOpenButtonClick();
}

void InputTab::CloseSymbolsPanel() {
  // Hiding the panel also gives the table and the buttons back.
  if (!HelpMemo->isHidden()) HelpOpenButtonClick();
}

void InputTab::ClearButtonClick() {
  if (!ui_.AskYesNo("The data will be cleared, are you sure?", DefaultAnswer::Yes)) return;
  host_.FormCreate();
  // The user stays where the fresh table is.
  host_.ShowTab(Tab::Input);
}

void InputTab::InputOpenActionExecute() { OpenInput(ui_.OpenFileDialog(dialogs_.InputOpen())); }

void InputTab::OpenInputFile(const std::string& path) { OpenInput(path); }

void InputTab::PutResultAway() {
  input_->W.DecimalSeparator = input_->W.SystemDecimalSeparator;
  s_.Output.calculated = false;
  output_.HideFile();
  s_.bothTypesFound = false;
}

void InputTab::OpenInput(const std::optional<std::string>& path) {
  WorkingData& dm = s_.DM;
  PutResultAway();
  if (!path) {
    ui_.ShowMessage("No input file was selected");
    return;
  }
  dm.FileName = *path;
  if (!FileExists(*path)) {
    ui_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  // An unreadable file has been reported and left nothing half-read.
  if (!dm.ReadInputFile()) return;
  // A file without data lines keeps the count of its header.
  if (dm.XData.empty()) dm.NrOfData = std::clamp(dm.NrOfData, 0, kMaxNrOfData);
  dm.NrOfInputData = dm.NrOfData;
  dialogs_.SetFolder(ExtractFilePath(*path));
  RememberRecentFile(*path);
  ShowOpenedData(*path, true);
}

void InputTab::ShowOpenedData(const std::string& inputFile, bool saved) {
  const WorkingData& dm = s_.DM;
  FileNameEdit->setText(QString::fromStdString(inputFile));
  FileNameEdit->show();
  FileNameLabel->show();
  graphics_.ResetGraphicsPage(GraphicsTab::GraphicsReset::InputOpened);
  Title1Edit->setText(QString::fromStdString(dm.Title1));
  Title2Edit->setText(QString::fromStdString(dm.Title2));
  input_->W.GridNrOfData = input_->W.OrigNrOfData = dm.NrOfData;
  input_->W.DataPresent = true;
  input_->W.Unsaved = !saved;
  FillInputTable();
  host_.ShowTab(Tab::Input);
}

bool InputTab::ConfirmLeave() {
  return !input_->HoldsUnsavedData() ||
         ui_.AskYesNo("The data in the input table have not been saved. Leave the program anyway?",
                      DefaultAnswer::No);
}

}  // namespace kinvalo::app
