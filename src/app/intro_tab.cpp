#include "app/intro_tab.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/help_texts.h"
#include "app/small_windows.h"

namespace kinvalo::app {

IntroTab::IntroTab(QWidget* parent, TabHost& host, const MainActions& actions, MoreInfoWindow& moreInfo)
    : QWidget(parent), host_(host), actions_(actions), moreInfo_(moreInfo) {
  setObjectName(QStringLiteral("IntroTabSheet"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);

  auto* memos = new QWidget(this);
  auto* stack = new QVBoxLayout(memos);
  stack->setContentsMargins(0, 0, 0, 0);
  const QFont textFont(QStringLiteral("Arial"), 10);
  auto memo = [&](const char* name, const char* text, const QColor& colour) {
    QPlainTextEdit* m = MakeMemo(memos, name, text, colour);
    m->setFont(textFont);
    stack->addWidget(m);
    return m;
  };
  IntroMemo = memo("IntroMemo", texts::kIntro, QColor(0xFF, 0xFF, 0xE8));
  TypesMemo = memo("TypesMemo", texts::kTypes, QColor(0xE8, 0xFF, 0xE8));
  TestsMemo = memo("TestsMemo", texts::kTests, QColor(0xE8, 0xF0, 0xFF));
  TestsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SequenceMemo = memo("SequenceMemo", texts::kSequence, QColor(0xFF, 0xF0, 0xE8));
  MethodsMemo = memo("MethodsMemo", texts::kMethods, QColor(0xF4, 0xE8, 0xFF));
  for (QPlainTextEdit* m : {TypesMemo, TestsMemo, SequenceMemo, MethodsMemo}) m->hide();
  layout->addWidget(memos, 1);

  auto* side = new QVBoxLayout;
  HelpGroupBox = new QGroupBox(QStringLiteral("Details"), this);
  HelpGroupBox->setObjectName(QStringLiteral("HelpGroupBox"));
  auto* buttons = new QVBoxLayout(HelpGroupBox);
  TypesButton = MakeButton(HelpGroupBox, "TypesButton", "Function types");
  TestsButton = MakeButton(HelpGroupBox, "TestsButton", "Significance tests");
  SequenceButton = MakeButton(HelpGroupBox, "SequenceButton", "Calculation sequence");
  MethodsButton = MakeButton(HelpGroupBox, "MethodsButton", "Calculation methods");
  BackButton = MakeButton(HelpGroupBox, "BackButton", "Introduction");
  for (QPushButton* b : {TypesButton, TestsButton, SequenceButton, MethodsButton, BackButton}) {
    buttons->addWidget(b);
    b->setEnabled(b == TypesButton);
  }
  HelpGroupBox->setMinimumWidth(190);
  side->addWidget(HelpGroupBox);
  MoreInfoButton = MakeButton(this, "MoreInfoButton", "More info");
  MoreInfoButton->hide();
  MoreInfoButton->setEnabled(false);
  side->addWidget(MoreInfoButton);
  side->addStretch(1);
  layout->addLayout(side);
  OnSignal(host_, this, TypesButton, &QPushButton::clicked, &IntroTab::TypesButtonClick);
}

IntroTab::~IntroTab() {
  // Closing the controls below sends focus and visibility signals; no
  // command runs any more.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void IntroTab::IntroTabSheetShow() {
  host_.SetStatusText(QStringLiteral("Click on the Input tab to proceed."));
  actions_.InputSaveAction->setEnabled(false);
  actions_.GraphSaveAction->setEnabled(false);
  ShowIntroduction();
}

void IntroTab::ShowIntroduction() {
  IntroMemo->show();
  for (QPlainTextEdit* m : {TypesMemo, TestsMemo, SequenceMemo, MethodsMemo}) m->hide();
  MoreInfoButton->hide();
}

void IntroTab::TypesButtonClick() {
  IntroMemo->hide();
  TypesMemo->show();
  for (QPlainTextEdit* m : {TestsMemo, SequenceMemo, MethodsMemo}) m->hide();
  MoreInfoButton->hide();
  moreInfo_.close();
}

}  // namespace kinvalo::app
