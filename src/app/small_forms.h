#pragma once
// The small windows: the finish window, the output symbols, the confidence
// help and the more-info window. Created once at start-up, then only shown
// and hidden.
#include <functional>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "app/base_form.h"

namespace kinvalo::app {

// A read-only text box in a pale colour of its own.
QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const char* text, const QColor& background);

class TFinishForm : public TBaseForm {
  Q_OBJECT

 public:
  // `endApplication` ends the program once the current command returns.
  TFinishForm(QWidget* parent, std::function<void()> endApplication);

  void FinishButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  void closeEvent(QCloseEvent* event) override;  // FormClose

 private:
  std::function<void()> endApplication_;
  QPlainTextEdit* FinishMemo;
  QPushButton* FinishButton;
};

class TSymbolsForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSymbolsForm(QWidget* parent);
};

class THelpForm : public QWidget {
  Q_OBJECT

 public:
  explicit THelpForm(QWidget* parent);
};

class TMoreInfoForm : public QWidget {
  Q_OBJECT

 public:
  explicit TMoreInfoForm(QWidget* parent);
};

}  // namespace kinvalo::app
