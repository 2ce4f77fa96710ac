#include "app/input_tab.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLocale>

#include "app/help_texts.h"
#include "app/graphics_tab.h"
#include "app/output_tab.h"
#include "app/small_windows.h"
#include "app/types_picture.h"
#include "core/paths.h"

namespace kinvalo::app {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int x, int y) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& where, const char* hint) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(where);
  if (hint) edit->setToolTip(QString::fromLatin1(hint));
  return edit;
}

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
  auto* page = new QWidget(this);
  page->setMinimumSize(830, 556);
  setWidget(page);

  Title1Label = MakeLabel(page, "Title1Label", "Title1", 10, 12);
  Title1Edit = MakeEdit(page, "Title1Edit", QRect(70, 8, 600, 24), "General information");
  Title2Label = MakeLabel(page, "Title2Label", "Title2", 10, 44);
  Title2Edit = MakeEdit(page, "Title2Edit", QRect(70, 40, 600, 24), "Details about the variables and units");
  FileNameLabel = MakeLabel(page, "FileNameLabel", "File", 10, 76);
  FileNameEdit = MakeEdit(page, "FileNameEdit", QRect(70, 72, 600, 24), nullptr);
  FileNameEdit->setReadOnly(true);
  FileNameLabel->hide();
  FileNameEdit->hide();

  StringGrid1 = new GridView(page);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setToolTip(QStringLiteral("Y = dependent variable, X, Z independent"));
  StringGrid1->setGeometry(10, 106, InputTable::kWideWidth, 446);
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

  NrOfDataLabel = MakeLabel(page, "NrOfDataLabel", "Nr. of data sets", 250, 110);
  NrOfDataEdit = MakeEdit(page, "NrOfDataEdit", QRect(400, 106, 60, 24), "Between 6 and 900");
  NrOfDataEdit->setText(QStringLiteral("15"));
  ConfLabel = MakeLabel(page, "ConfLabel", "Minimum confidence %", 250, 144);
  ConfComboBox = new QComboBox(page);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("98")});
  ConfComboBox->setCurrentIndex(0);
  ConfComboBox->setGeometry(400, 140, 60, 24);

  RadioGroup1 = new QGroupBox(QStringLiteral("Express preference"), page);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1->setGeometry(250, 176, 210, 106);
  auto radio = [this](const char* name, const char* caption, int y) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), RadioGroup1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(14, y, 186, 22);
    return button;
  };
  RadioButton1 = radio("RadioButton1", "Prefer Type 3", 26);
  RadioButton2 = radio("RadioButton2", "Prefer Type 4", 50);
  RadioButton3 = radio("RadioButton3", "Best of the two", 74);
  RadioButton3->setChecked(true);

  HelpOpenButton = MakeButton(page, "HelpOpenButton", "Symbols help");
  PasteButton = MakeButton(page, "PasteButton", "Paste help");
  ClearButton = MakeButton(page, "ClearButton", "Clear data");
  InputOpenButton = MakeButton(page, "InputOpenButton", "Open input");
  InputSaveButton = MakeButton(page, "InputSaveButton", "Save/calculate");
  HelpOpenButton->setGeometry(250, 298, 210, 30);
  PasteButton->setGeometry(250, 334, 210, 30);
  ClearButton->setGeometry(250, 370, 210, 30);
  InputOpenButton->setGeometry(250, 420, 210, 30);
  InputSaveButton->setGeometry(250, 458, 210, 40);
  QFont bold = InputSaveButton->font();
  bold.setBold(true);
  InputSaveButton->setFont(bold);

  Image1 = new QLabel(page);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(DrawTypesPicture());
  Image1->setGeometry(510, 106, kTypesPictureWidth, kTypesPictureHeight);

  WaitMemo = new QPlainTextEdit(page);
  WaitMemo->setObjectName(QStringLiteral("WaitMemo"));
  WaitMemo->setReadOnly(true);
  WaitMemo->setFocusPolicy(Qt::NoFocus);
  WaitMemo->setGeometry(510, 356, 280, 142);
  WaitMemo->setStyleSheet(QStringLiteral(
      "QPlainTextEdit { background: #0000C0; color: #FFFF00; font-family: 'Courier New'; font-size: 11pt; "
      "font-weight: bold; }"));
  WaitMemo->hide();

  HelpMemo = MakeMemo(page, "HelpMemo", texts::kSymbolsHelp, QColor(0xE8, 0xFF, 0xF0));
  PasteMemo = MakeMemo(page, "PasteMemo", texts::kPasteHelp, QColor(0xFF, 0xF8, 0xE0));
  for (QPlainTextEdit* memo : {HelpMemo, PasteMemo}) {
    memo->setGeometry(480, 106, 340, 446);
    memo->setFont(QFont(QStringLiteral("Arial"), 10));
    memo->hide();
  }

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

void InputTab::InputOpenActionExecute() {
  WorkingData& dm = s_.DM;
  input_->W.DecimalSeparator = input_->W.SystemDecimalSeparator;
  s_.Output.calculated = false;
  output_.HideFile();
  s_.bothTypesFound = false;
  const std::optional<std::string> path = ui_.OpenFileDialog(dialogs_.inputOpen);
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
  FileNameEdit->setText(QString::fromStdString(*path));
  FileNameEdit->show();
  FileNameLabel->show();
  graphics_.ResetGraphicsPage(GraphicsTab::GraphicsReset::InputOpened);
  Title1Edit->setText(QString::fromStdString(dm.Title1));
  Title2Edit->setText(QString::fromStdString(dm.Title2));
  input_->W.GridNrOfData = input_->W.OrigNrOfData = dm.NrOfData;
  input_->W.DataPresent = true;
  input_->W.Unsaved = false;
  FillInputTable();
  host_.ShowTab(Tab::Input);
}

bool InputTab::ConfirmLeave() {
  return !input_->HoldsUnsavedData() ||
         ui_.AskYesNo("The data in the input table have not been saved. Leave the program anyway?",
                      DefaultAnswer::No);
}

}  // namespace kinvalo::app
