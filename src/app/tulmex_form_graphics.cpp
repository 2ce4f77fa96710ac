// The Graphics tab: its controls and its show handler. Drawing and saving
// graphs are not built yet; their commands do nothing.
#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>

#include "app/small_forms.h"
#include "app/tulmex_form.h"

namespace kinvalo::app {

void TTulmexForm::BuildGraphicsTab() {
  GraphicsTabSheet = new QWidget(this);
  GraphicsTabSheet->setObjectName(QStringLiteral("GraphicsTabSheet"));
  auto picture = [this](const char* name, int width) {
    auto* label = new QLabel(GraphicsTabSheet);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(8, 8, width, 465);
    QPixmap blank(width, 465);
    blank.fill(Qt::white);
    label->setPixmap(blank);
    label->hide();
    return label;
  };
  GraphImage = picture("GraphImage", 623);
  PictureImage = picture("PictureImage", 609);
  // The commands stand in one column; a hidden one leaves no gap.
  auto* column = new QWidget(GraphicsTabSheet);
  column->setGeometry(634, 0, 210, 520);
  auto* stack = new QVBoxLayout(column);
  stack->setContentsMargins(4, 8, 4, 8);
  auto button = [this, column, stack](const char* name, const char* caption) {
    QPushButton* b = MakeButton(column, name, caption);
    b->setMinimumHeight(30);
    stack->addWidget(b);
    return b;
  };
  SeeGraphButton = button("SeeGraphButton", "Open graph");
  MakeGraphButton = button("MakeGraphButton", "Make graph");
  SaveGraphButton = button("SaveGraphButton", "Save color graph");
  SaveBlWhButton = button("SaveBlWhButton", " Save black-white graph");
  RegButton = button("RegButton", "Show regression line");
  ConfButton = button("ConfButton", "Show confidence belt");
  CalcObs_Button = button("CalcObs_Button", "See calc-obs graph");
  ZtypeButton = button("ZtypeButton", "Show combination  Type 3 and 4");
  BPButton = button("BPButton", "Confidence help");
  SelectButton = button("SelectButton", "Selection");
  stack->addStretch(1);
  for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, ConfButton, CalcObs_Button, ZtypeButton, BPButton,
                         SelectButton}) {
    b->hide();
  }
  connect(SeeGraphButton, &QPushButton::clicked, GraphOpenAction, &QAction::trigger);
  connect(SaveGraphButton, &QPushButton::clicked, GraphSaveAction, &QAction::trigger);
}

void TTulmexForm::GraphicsTabSheetShow() {
  InputSaveMenu->setEnabled(false);
  SetStatusText(QStringLiteral("Graphics presentations of output data can be seen and saved"));
  if (!s_->Graph.GraphShown) {
    GraphSaveMenu->setEnabled(false);
    for (QPushButton* b : {SaveGraphButton, SaveBlWhButton, SelectButton, BPButton}) b->hide();
    s_->Controls.SelectButtonVisible = false;
    s_->Controls.BPButtonVisible = false;
    CloseConfidenceHelp();
  }
  if (s_->Graph.GraphShown && s_->R.BothTypesFound) ZtypeButton->show();
}

void TTulmexForm::GraphicsButtonClick() { ShowTab(GraphicsTabSheet); }

}  // namespace kinvalo::app
