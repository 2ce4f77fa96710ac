#include "app/column_choice_dialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/paths.h"

namespace kinvalo::app {

namespace {

const QColor kYColour(0xE8, 0xFF, 0xF0);
const QColor kXColour(0xFF, 0xF8, 0xE0);
constexpr int kWidestColumn = 220;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

}  // namespace

ColumnChoiceDialog::ColumnChoiceDialog(QWidget* parent, const DelimitedFile& file) : QDialog(parent) {
  setObjectName(QStringLiteral("ColumnChoiceDialog"));
  setWindowTitle(QStringLiteral("Choose Y and X"));
  auto* layout = new QVBoxLayout(this);
  const int rows = file.RowCount();
  FileLabel = MakeLabel(this, "FileLabel",
                        QStringLiteral("%1: %2 %3")
                            .arg(QString::fromStdString(ExtractFileName(file.Path())))
                            .arg(rows)
                            .arg(rows == 1 ? QStringLiteral("row of data") : QStringLiteral("rows of data")));
  QFont bold = FileLabel->font();
  bold.setBold(true);
  FileLabel->setFont(bold);
  FormatLabel = MakeLabel(this, "FormatLabel", QString::fromStdString(DescribeFormat(file.Format())));
  RaggedLabel = MakeLabel(this, "RaggedLabel", QString::fromStdString(file.RaggedRowsMessage()));
  RaggedLabel->setWordWrap(true);
  RaggedLabel->setVisible(!file.RaggedRowsMessage().empty());
  for (QLabel* label : {FileLabel, FormatLabel, RaggedLabel}) layout->addWidget(label);

  // The first rows as the file has them, under the columns' names.
  const int columns = std::min(file.ColumnCount(), kPreviewColumns);
  const std::vector<std::vector<std::string>> first = file.FirstRows(kPreviewRows);
  PreviewTable = new QTableWidget(static_cast<int>(first.size()), columns, this);
  PreviewTable->setObjectName(QStringLiteral("PreviewTable"));
  PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  PreviewTable->setSelectionMode(QAbstractItemView::NoSelection);
  PreviewTable->setFocusPolicy(Qt::NoFocus);
  for (int c = 0; c < columns; ++c)
    names_ << QString::fromStdString(file.ColumnNames()[static_cast<size_t>(c)]);
  PreviewTable->setHorizontalHeaderLabels(names_);
  for (int r = 0; r < static_cast<int>(first.size()); ++r) {
    const std::vector<std::string>& cells = first[static_cast<size_t>(r)];
    for (int c = 0; c < columns && c < static_cast<int>(cells.size()); ++c) {
      PreviewTable->setItem(r, c,
                            new QTableWidgetItem(QString::fromStdString(cells[static_cast<size_t>(c)])));
    }
  }
  // The rows of the table are data rows; the messages count lines of the
  // file, so the table shows no numbers of its own.
  PreviewTable->verticalHeader()->hide();
  PreviewTable->verticalHeader()->setDefaultSectionSize(PreviewTable->fontMetrics().height() + 6);
  PreviewTable->setMinimumHeight(PreviewTable->horizontalHeader()->height() +
                                 PreviewTable->verticalHeader()->defaultSectionSize() * kPreviewRows + 24);
  layout->addWidget(PreviewTable, 1);

  // Only columns of numbers can be Y or X.
  auto* choice = new QGridLayout;
  choice->setColumnStretch(2, 1);
  YColumnLabel = MakeLabel(this, "YColumnLabel", QStringLiteral("Y (dependent variable)"));
  XColumnLabel = MakeLabel(this, "XColumnLabel", QStringLiteral("X (independent variable)"));
  YColumnBox = new QComboBox(this);
  YColumnBox->setObjectName(QStringLiteral("YColumnBox"));
  XColumnBox = new QComboBox(this);
  XColumnBox->setObjectName(QStringLiteral("XColumnBox"));
  for (int c = 0; c < file.ColumnCount(); ++c) {
    if (!file.IsNumeric(c)) continue;
    const QString name = QString::fromStdString(file.ColumnNames()[static_cast<size_t>(c)]);
    const QString item = QStringLiteral("%1  %2").arg(c + 1).arg(name);
    YColumnBox->addItem(item, c);
    XColumnBox->addItem(item, c);
  }
  const ColumnChoice preset = file.DefaultColumns();
  YColumnBox->setCurrentIndex(YColumnBox->findData(preset.y));
  XColumnBox->setCurrentIndex(XColumnBox->findData(preset.x));
  for (QComboBox* box : {YColumnBox, XColumnBox}) {
    box->setMinimumWidth(220);
    box->setMaxVisibleItems(20);
  }
  choice->addWidget(YColumnLabel, 0, 0);
  choice->addWidget(YColumnBox, 0, 1);
  choice->addWidget(XColumnLabel, 1, 0);
  choice->addWidget(XColumnBox, 1, 1);
  layout->addLayout(choice);

  ButtonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ButtonBox->setObjectName(QStringLiteral("ColumnChoiceButtons"));
  layout->addWidget(ButtonBox);
  connect(ButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(YColumnBox, &QComboBox::currentIndexChanged, this, [this] { ColumnsChanged(); });
  connect(XColumnBox, &QComboBox::currentIndexChanged, this, [this] { ColumnsChanged(); });
  ColumnsChanged();
  resize(640, 420);
}

ColumnChoice ColumnChoiceDialog::Choice() const {
  return {YColumnBox->currentData().toInt(), XColumnBox->currentData().toInt()};
}

void ColumnChoiceDialog::ColumnsChanged() {
  const ColumnChoice chosen = Choice();
  for (int c = 0; c < PreviewTable->columnCount(); ++c) {
    const QColor colour = c == chosen.y ? kYColour : c == chosen.x ? kXColour : QColor(Qt::white);
    const QString mark = c == chosen.y   ? QStringLiteral("Y: ")
                         : c == chosen.x ? QStringLiteral("X: ")
                                         : QString();
    PreviewTable->setHorizontalHeaderItem(c, new QTableWidgetItem(mark + names_.value(c)));
    PreviewTable->resizeColumnToContents(c);
    PreviewTable->setColumnWidth(c, std::min(PreviewTable->columnWidth(c), kWidestColumn));
    for (int r = 0; r < PreviewTable->rowCount(); ++r) {
      if (QTableWidgetItem* item = PreviewTable->item(r, c)) item->setBackground(colour);
    }
  }
  ButtonBox->button(QDialogButtonBox::Ok)->setEnabled(chosen.y != chosen.x);
}

}  // namespace kinvalo::app
