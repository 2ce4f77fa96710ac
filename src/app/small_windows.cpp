#include "app/small_windows.h"

#include <QCloseEvent>
#include <QRegularExpression>
#include <QStringList>
#include <QVBoxLayout>

#include "app/help_texts.h"

namespace kinvalo::app {

QString FlowText(const char* text) {
  static const QRegularExpression item(QStringLiteral("^(- |\\d+\\. |(Type|Method|Sequence) \\d+:)"));
  QStringList paragraphs;
  QString previous;
  bool open = false;
  for (const QString& raw : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (open && !line.isEmpty() && !previous.isEmpty() && !item.match(line).hasMatch()) {
      paragraphs.back() += QLatin1Char(' ') + line;
    } else {
      paragraphs << raw;
      open = true;
    }
    previous = line;
  }
  return paragraphs.join(QLatin1Char('\n'));
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const char* text, const QColor& background,
                         bool keepLines) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setReadOnly(true);
  memo->setPlainText(keepLines ? QString::fromUtf8(text) : FlowText(text));
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Text, Qt::black);
  memo->setPalette(palette);
  return memo;
}

namespace {

QWidget* SmallWindow(QWidget* window, const char* name, const char* caption, int width, int height) {
  window->setObjectName(QString::fromLatin1(name));
  window->setWindowTitle(QString::fromLatin1(caption));
  window->resize(width, height);
  return window;
}

QVBoxLayout* Column(QWidget* parent) {
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(6, 6, 6, 6);
  return layout;
}

}  // namespace

FinishWindow::FinishWindow(QWidget* parent, std::function<bool()> endApplication)
    : StatusBarWindow(parent), endApplication_(std::move(endApplication)) {
  setWindowFlag(Qt::Window);
  SmallWindow(this, "TFinishForm", "Tulmex finish", 250, 241);
  auto* central = new QWidget(this);
  auto* layout = Column(central);
  FinishMemo = MakeMemo(central, "FinishMemo", texts::kFinish, QColor(0xF0, 0xF8, 0xE8));
  FinishButton = new QPushButton(QStringLiteral("Finish"), central);
  FinishButton->setObjectName(QStringLiteral("FinishButton"));
  layout->addWidget(FinishMemo, 1);
  layout->addWidget(FinishButton, 0, Qt::AlignHCenter);
  setCentralWidget(central);
  connect(FinishButton, &QPushButton::clicked, this, [this] { FinishButtonClick(); });
}

void FinishWindow::FinishButtonClick() {
  if (!endApplication_()) hide();
}

void FinishWindow::showEvent(QShowEvent* event) {
  SetStatusText(QStringLiteral("Click Finish button to end program"));
  FinishButton->setFocus();
  StatusBarWindow::showEvent(event);
}

void FinishWindow::closeEvent(QCloseEvent* event) {
  StatusBarWindow::closeEvent(event);
  endApplication_();
}

SymbolsWindow::SymbolsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  SmallWindow(this, "TSymbolsForm", "Tulmex output symbols", 543, 551);
  QPlainTextEdit* memo = MakeMemo(this, "SymbolsMemo", texts::kOutputSymbols, QColor(0xE4, 0xE4, 0xE4), true);
  memo->setFont(QFont(QStringLiteral("Courier New"), 9));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Column(this)->addWidget(memo);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  SmallWindow(this, "THelpForm", "Help St.Err.BP and confidence analysis", 347, 294);
  Column(this)->addWidget(MakeMemo(this, "HelpMemo", texts::kConfidenceHelp, QColor(0xFF, 0xFF, 0xE0)));
}

MoreInfoWindow::MoreInfoWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  SmallWindow(this, "TMoreInfoForm", "More Info", 628, 486);
  QPlainTextEdit* memo = MakeMemo(this, "MoreInfoMemo", texts::kMoreInfo, QColor(0xE8, 0xF4, 0xFF));
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Column(this)->addWidget(memo);
}

TabHelpWindow::TabHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  SmallWindow(this, "TTabHelpForm", "Help", 560, 340);
  TabHelpMemo = MakeMemo(this, "TabHelpMemo", "", QColor(0xFF, 0xFF, 0xE8));
  TabHelpMemo->setFont(QFont(QStringLiteral("Arial"), 10));
  Column(this)->addWidget(TabHelpMemo);
}

void TabHelpWindow::ShowHelp(const char* caption, const char* text) {
  setWindowTitle(QString::fromLatin1(caption));
  TabHelpMemo->setPlainText(FlowText(text));
  // It comes up over the middle of the main window.
  if (isHidden() && parentWidget()) move(parentWidget()->frameGeometry().center() - rect().center());
  show();
  raise();
  activateWindow();
}

}  // namespace kinvalo::app
