// The Intro tab: the introduction and the detail texts.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/help_texts.h"
#include "app/small_forms.h"
#include "app/tulmex_form.h"

namespace kinvalo::app {

void TTulmexForm::BuildIntroTab() {
  IntroTabSheet = new QWidget(this);
  IntroTabSheet->setObjectName(QStringLiteral("IntroTabSheet"));
  auto* layout = new QHBoxLayout(IntroTabSheet);
  layout->setContentsMargins(8, 8, 8, 8);

  auto* memos = new QWidget(IntroTabSheet);
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
  HelpGroupBox = new QGroupBox(QStringLiteral("Details"), IntroTabSheet);
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
  MoreInfoButton = MakeButton(IntroTabSheet, "MoreInfoButton", "More info");
  MoreInfoButton->hide();
  MoreInfoButton->setEnabled(false);
  side->addWidget(MoreInfoButton);
  side->addStretch(1);
  layout->addLayout(side);
  OnSignal(TypesButton, &QPushButton::clicked, &TTulmexForm::TypesButtonClick);
}

void TTulmexForm::IntroTabSheetShow() {
  SetStatusText(QStringLiteral("Click on the Input tab to proceed."));
  InputSaveMenu->setEnabled(false);
  GraphSaveMenu->setEnabled(false);
  IntroMemo->show();
  for (QPlainTextEdit* m : {TypesMemo, TestsMemo, SequenceMemo, MethodsMemo}) m->hide();
  MoreInfoButton->hide();
}

void TTulmexForm::TypesButtonClick() {
  IntroMemo->hide();
  TypesMemo->show();
  for (QPlainTextEdit* m : {TestsMemo, SequenceMemo, MethodsMemo}) m->hide();
  MoreInfoButton->hide();
  if (MoreInfoForm) MoreInfoForm->close();
}

}  // namespace kinvalo::app
