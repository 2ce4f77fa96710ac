#include "app/main_window.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "app/command_guard.h"
#include "app/graphics_tab.h"
#include "app/help_texts.h"
#include "app/input_grid.h"
#include "app/input_tab.h"
#include "app/intro_tab.h"
#include "app/output_tab.h"
#include "app/settings.h"
#include "app/small_windows.h"
#include "core/paths.h"

namespace kinvalo::app {

namespace {
constexpr int kClientWidth = 852;
constexpr int kClientHeight = 611;
constexpr int kFrameAllowance = 8;  // the outer width of a window minus its client width
// Below this the tabs would crowd their controls; the input tab scrolls
// before it gets there.
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 440;

// The one local file that a drag carries; empty for anything else: several
// files, a folder, a web address, text.
std::string DraggedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QFileInfo file(urls.front().toLocalFile());
  return file.isFile() ? file.absoluteFilePath().toStdString() : std::string();
}

}  // namespace

WindowPlacement PlaceMainWindow(int screenWidth) {
  WindowPlacement placement;
  if (screenWidth < 861) {
    placement.left = 5;
    placement.width = screenWidth - 5;
  }
  return placement;
}

MainWindow::MainWindow(Platform& ui, AppState& state, std::function<void()> endApplication)
    : ui_(ui),
      s_(state),
      FinishForm(new FinishWindow(this, [this, end = std::move(endApplication)] { return EndApplication(end); })),
      SymbolsForm(new SymbolsWindow(this)),
      HelpForm(new HelpWindow(this)),
      MoreInfoForm(new MoreInfoWindow(this)),
      TabHelpForm(new TabHelpWindow(this)),
      actions_(this),
      dialogs_(state.DM) {
  setObjectName(QStringLiteral("TTulmexForm"));
  setWindowTitle(QStringLiteral("Kinvalo, partial regression "));
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  setCentralWidget(PageControl1);
  RecentMenu = actions_.BuildMenus(menuBar());
  connect(RecentMenu, &QMenu::aboutToShow, this, [this] { Command([this] { FillRecentMenu(); }); });
  connect(actions_.HelpAction, &QAction::triggered, this,
          [this] { Command([this] { HelpActionExecute(); }); });
  connect(actions_.FileExit1, &QAction::triggered, this, [this] { close(); });
  connect(actions_.EditCopy1, &QAction::triggered, this, [this] { Command([this] { EditCopy1Execute(); }); });
  connect(actions_.EditCut1, &QAction::triggered, this, [this] { Command([this] { EditCut1Execute(); }); });
  connect(actions_.EditPaste1, &QAction::triggered, this, [this] { Command([this] { EditPaste1Execute(); }); });
  // The input tab runs the calculation into the output and graphics tabs;
  // the output tab draws on the graphics tab.
  IntroTabSheet = new IntroTab(this, *this, actions_, *MoreInfoForm);
  GraphicsTabSheet = new GraphicsTab(this, *this, s_, ui_, actions_, dialogs_, *HelpForm);
  OutputTabSheet = new OutputTab(this, *this, s_, ui_, actions_, dialogs_, *SymbolsForm, *GraphicsTabSheet);
  InputTabSheet = new InputTab(this, *this, s_, ui_, actions_, dialogs_, *OutputTabSheet, *GraphicsTabSheet);
  PageControl1->addTab(IntroTabSheet, QStringLiteral("  Intro  "));
  PageControl1->addTab(InputTabSheet, QStringLiteral("  Input  "));
  PageControl1->addTab(OutputTabSheet, QStringLiteral("  Output  "));
  PageControl1->addTab(GraphicsTabSheet, QStringLiteral(" Graphics "));
  currentPage_ = PageControl1->currentWidget();
  connect(PageControl1, &QTabWidget::currentChanged, this,
          [this](int index) { Command([this, index] { PageChanged(index); }); });
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  setAcceptDrops(true);
  installEventFilter(this);
  for (QWidget* child : PageControl1->findChildren<QWidget*>()) child->installEventFilter(this);
}

MainWindow::~MainWindow() {
  // Closing the tabs sends focus and visibility signals; no command runs
  // any more. The tabs go while the window they call is whole.
  dying_ = true;
  // The next run opens the window where the user left it.
  if (placed_) RememberGeometry(saveGeometry());
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  delete PageControl1;
}

void MainWindow::Command(const std::function<void()>& handler) {
  if (dying_) return;
  ++running_;
  RunCommand(ui_, handler);
  --running_;
}

bool MainWindow::EndApplication(const std::function<void()>& end) {
  bool leave = true;
  Command([this, &leave] { leave = InputTabSheet->ConfirmLeave(); });
  if (leave) end();
  return leave;
}

void MainWindow::FormCreate() {
  ShowTab(Tab::Intro);
  std::error_code ec;
  StartDir = std::filesystem::current_path(ec).string();
  dialogs_.StartIn(StartDir);
  s_.Output.calculated = false;
  InputTabSheet->FormCreate();
  GraphicsTabSheet->FormCreate();
  // The window is placed once, at start-up, where the last run left it;
  // clearing the data does not move it.
  if (!placed_) {
    placed_ = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!restoreGeometry(RememberedGeometry()) && screen) {
      const WindowPlacement placement = PlaceMainWindow(screen->geometry().width());
      move(placement.left, screen->availableGeometry().top() + 30);
      resize(placement.width - kFrameAllowance, height());
    }
  }
}

QWidget* MainWindow::Page(Tab tab) const {
  switch (tab) {
    case Tab::Intro: return IntroTabSheet;
    case Tab::Input: return InputTabSheet;
    case Tab::Output: return OutputTabSheet;
    case Tab::Graphics: return GraphicsTabSheet;
  }
  return IntroTabSheet;
}

void MainWindow::ShowTab(Tab tab) {
  QWidget* page = Page(tab);
  if (PageControl1->currentWidget() == page) {
    RunShowHandler(page);
  } else {
    PageControl1->setCurrentWidget(page);
  }
}

void MainWindow::PageChanged(int index) {
  // The help of one tab does not stay over another.
  TabHelpForm->close();
  QWidget* previous = currentPage_;
  currentPage_ = PageControl1->widget(index);
  if (previous == OutputTabSheet && currentPage_ != OutputTabSheet) OutputTabSheet->OutputTabSheetExit();
  RunShowHandler(currentPage_);
}

void MainWindow::RunShowHandler(QWidget* page) {
  if (page == IntroTabSheet) IntroTabSheet->IntroTabSheetShow();
  else if (page == InputTabSheet) InputTabSheet->InputTabSheetShow();
  else if (page == OutputTabSheet) OutputTabSheet->OutputTabSheetShow();
  else if (page == GraphicsTabSheet) GraphicsTabSheet->GraphicsTabSheetShow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The main window stays; the program ends from the finish window.
  event->ignore();
  Command([this] {
    FinishForm->show();
    FinishForm->raise();
    FinishForm->activateWindow();
  });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return StatusBarWindow::eventFilter(watched, event);
  }
  auto* drag = static_cast<QDropEvent*>(event);
  const std::string path = DraggedFile(drag->mimeData());
  // Anything else is the control's own business, or no drop at all.
  if (path.empty()) return StatusBarWindow::eventFilter(watched, event);
  // A calculation keeps the window painted while it runs; nothing is
  // opened in the middle of it.
  if (running_ > 0) {
    drag->ignore();
    return true;
  }
  drag->acceptProposedAction();
  // The file is opened once the drop has ended: its dialogs and messages
  // must not hold up the program the file came from.
  if (type == QEvent::Drop) QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
  return true;
}

void MainWindow::OpenFile(const std::string& path) {
  Command([this, &path] {
    if (!FileExists(path)) {
      ui_.ShowMessage("File does not exist, please select another one,");
      return;
    }
    const std::string extension = LowerCaseExtension(path);
    if (extension == ".inp") {
      InputTabSheet->OpenInputFile(path);
    } else if (extension == ".out") {
      OutputTabSheet->OpenOutputFile(path);
    } else {
      InputTabSheet->OpenDataFile(path);
    }
  });
}

void MainWindow::FillRecentMenu() {
  RecentMenu->clear();
  const std::vector<std::string> files = RecentFiles();
  int number = 0;
  for (const std::string& path : files) {
    const QString name = QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* entry = RecentMenu->addAction(QStringLiteral("&%1  %2").arg(++number).arg(name));
    entry->setObjectName(QStringLiteral("RecentFile%1").arg(number));
    // A file that has gone is greyed until it is back or the list is
    // cleared.
    entry->setEnabled(FileExists(path));
    connect(entry, &QAction::triggered, this, [this, path] { OpenFile(path); });
  }
  if (files.empty()) RecentMenu->addAction(QStringLiteral("No files yet"))->setEnabled(false);
  RecentMenu->addSeparator();
  QAction* clear = RecentMenu->addAction(QStringLiteral("Clear list"));
  clear->setObjectName(QStringLiteral("ClearRecentFilesAction"));
  clear->setEnabled(!files.empty());
  connect(clear, &QAction::triggered, this, [this] { Command([] { ClearRecentFiles(); }); });
}

void MainWindow::HelpActionExecute() {
  QWidget* page = PageControl1->currentWidget();
  if (page == IntroTabSheet) {
    IntroTabSheet->ShowIntroduction();
  } else if (page == InputTabSheet) {
    InputTabSheet->ShowHelp();
  } else if (page == OutputTabSheet) {
    TabHelpForm->ShowHelp("Help on the Output tab", texts::kOutputHelp);
  } else {
    TabHelpForm->ShowHelp("Help on the Graphics tab", texts::kGraphicsHelp);
  }
}

void MainWindow::EditCopy1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->copy();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->copy();
  } else if (auto* grid = qobject_cast<GridView*>(focus); grid && grid->currentIndex().isValid()) {
    QApplication::clipboard()->setText(grid->currentIndex().data().toString());
  }
}

void MainWindow::EditCut1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->cut();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->cut();
  } else if (auto* grid = qobject_cast<GridView*>(focus)) {
    emit grid->CutRequested(grid->currentIndex());
  }
}

void MainWindow::EditPaste1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* cell = qobject_cast<CellEditor*>(focus)) {
    cell->PasteClipboard();
  } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->paste();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->paste();
  } else if (auto* grid = qobject_cast<GridView*>(focus)) {
    emit grid->PasteRequested(grid->currentIndex());
  }
}

}  // namespace kinvalo::app
