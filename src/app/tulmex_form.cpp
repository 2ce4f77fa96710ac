#include "app/tulmex_form.h"

#include <filesystem>
#include <system_error>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>

#include "app/command_guard.h"
#include "app/small_forms.h"

namespace kinvalo::app {

namespace {
constexpr int kClientWidth = 852;
constexpr int kClientHeight = 611;
constexpr int kFrameAllowance = 8;  // the outer width of a window minus its client width
}  // namespace

WindowPlacement PlaceMainWindow(int screenWidth) {
  WindowPlacement placement;
  if (screenWidth < 861) {
    placement.left = 5;
    placement.width = screenWidth - 5;
  }
  return placement;
}

TTulmexForm::TTulmexForm(Platform& ui) : ui_(ui) {
  setObjectName(QStringLiteral("TTulmexForm"));
  setWindowTitle(QStringLiteral("Kinvalo, partial regression "));
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  setCentralWidget(PageControl1);
  BuildMenu();
  BuildIntroTab();
  BuildInputTab();
  BuildOutputTab();
  BuildGraphicsTab();
  PageControl1->addTab(IntroTabSheet, QStringLiteral("  Intro  "));
  PageControl1->addTab(InputTabSheet, QStringLiteral("  Input  "));
  PageControl1->addTab(OutputTabSheet, QStringLiteral("  Output  "));
  PageControl1->addTab(GraphicsTabSheet, QStringLiteral(" Graphics "));
  currentPage_ = PageControl1->currentWidget();
  connect(PageControl1, &QTabWidget::currentChanged, this,
          [this](int index) { Command([this, index] { PageChanged(index); }); });
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

TTulmexForm::~TTulmexForm() {
  // Closing the widgets below sends focus and visibility signals; no
  // command runs any more.
  dying_ = true;
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  // The table's view reads the input page; it goes first.
  StringGrid1->setModel(nullptr);
  delete gridModel_;
  gridModel_ = nullptr;
}

void TTulmexForm::Attach(AppState& state, TFinishForm* finish, TSymbolsForm* symbols, THelpForm* help,
                         TMoreInfoForm* moreInfo) {
  s_ = &state;
  FinishForm = finish;
  SymbolsForm = symbols;
  HelpForm = help;
  MoreInfoForm = moreInfo;
  input_ = std::make_unique<InputPage>(state.DM);
  gridModel_ = new InputTableModel(input_->Grid, StringGrid1);
  auto onEdit = [this](int col, int row, const std::string& text) { CellTextChanged(col, row, text); };
  gridModel_->SetEditHandler(onEdit);
  StringGrid1->setModel(gridModel_);
  StringGrid1->setItemDelegate(new CellDelegate(StringGrid1, onEdit));
}

void TTulmexForm::Command(const std::function<void()>& handler) {
  if (!dying_) RunCommand(ui_, handler);
}

void TTulmexForm::FormCreate() {
  ShowTab(IntroTabSheet);
  std::error_code ec;
  StartDir = std::filesystem::current_path(ec).string();
  SetDialogFolders(StartDir);
  input_->W.DataPresent = false;
  Calculated_ = false;
  GraphShown_ = false;
  FileNameLabel->hide();
  FileNameEdit->hide();
  Options().colour = true;
  Options().belt = false;
  Options().block = false;
  Options().regressionLine = false;
  // The window is placed once, at start-up; clearing the data does not move it.
  if (!placed_) {
    placed_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const WindowPlacement placement = PlaceMainWindow(screen->geometry().width());
      move(placement.left, screen->availableGeometry().top() + 30);
      resize(placement.width - kFrameAllowance, height());
    }
  }
  const QString mark = QLocale().decimalPoint();
  input_->W.SystemDecimalSeparator = mark == QStringLiteral(",") ? ',' : '.';
  input_->W.DecimalSeparator = input_->W.SystemDecimalSeparator;
}

void TTulmexForm::SetDialogFolders(const std::string& folder) {
  for (FileDialogOptions* dialog : {&InputOpenDialog_, &InputSaveDialog_, &OutputOpenDialog_,
                                    &OutputReadDialog_, &GraphSaveDialog_, &GraphOpenDialog_}) {
    dialog->initialFolder = folder;
  }
}

void TTulmexForm::ShowTab(QWidget* page) {
  if (PageControl1->currentWidget() == page) {
    RunShowHandler(page);
  } else {
    PageControl1->setCurrentWidget(page);
  }
}

void TTulmexForm::PageChanged(int index) {
  QWidget* previous = currentPage_;
  currentPage_ = PageControl1->widget(index);
  if (previous == OutputTabSheet && currentPage_ != OutputTabSheet) OutputTabSheetExit();
  RunShowHandler(currentPage_);
}

void TTulmexForm::RunShowHandler(QWidget* page) {
  if (!s_) return;
  if (page == IntroTabSheet) IntroTabSheetShow();
  else if (page == InputTabSheet) InputTabSheetShow();
  else if (page == OutputTabSheet) OutputTabSheetShow();
  else if (page == GraphicsTabSheet) GraphicsTabSheetShow();
}

void TTulmexForm::closeEvent(QCloseEvent* event) {
  // The main window stays; the program ends from the finish window.
  event->ignore();
  Command([this] {
    if (!FinishForm) return;
    FinishForm->show();
    FinishForm->raise();
    FinishForm->activateWindow();
  });
}

QPushButton* TTulmexForm::MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

void TTulmexForm::CloseConfidenceHelp() {
  if (HelpForm) HelpForm->close();
}

}  // namespace kinvalo::app
