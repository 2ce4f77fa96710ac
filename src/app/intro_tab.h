#pragma once
// The Intro tab: the introduction and the detail texts.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "app/main_actions.h"
#include "app/tab_host.h"

namespace kinvalo::app {

class MoreInfoWindow;

class IntroTab : public QWidget {
  Q_OBJECT

 public:
  IntroTab(QWidget* parent, TabHost& host, const MainActions& actions, MoreInfoWindow& moreInfo);
  ~IntroTab() override;

  void IntroTabSheetShow();
  void TypesButtonClick();
  // F1: the introduction in front again.
  void ShowIntroduction();

 private:
  TabHost& host_;
  const MainActions& actions_;
  MoreInfoWindow& moreInfo_;

  QPlainTextEdit *IntroMemo, *TypesMemo, *TestsMemo, *SequenceMemo, *MethodsMemo;
  QGroupBox* HelpGroupBox;
  QPushButton *TypesButton, *TestsButton, *SequenceButton, *MethodsButton, *BackButton, *MoreInfoButton;
};

}  // namespace kinvalo::app
