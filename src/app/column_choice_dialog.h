#pragma once
// The column choice of a data file: the file's layout as the reader found
// it, its first rows, and the two columns to take as Y and X.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>

#include "data/delimited_file.h"

namespace kinvalo::app {

class ColumnChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  // The boxes offer the columns of numbers and start at the file's own
  // choice: the first two of them.
  ColumnChoiceDialog(QWidget* parent, const DelimitedFile& file);

  ColumnChoice Choice() const;

  // The rows and columns of the file shown in the table.
  static constexpr int kPreviewRows = 8;
  static constexpr int kPreviewColumns = 50;

 private:
  // The chosen columns stand out in the table; OK only for two different
  // columns.
  void ColumnsChanged();

  QStringList names_;  // of the columns in the table
  QLabel *FileLabel, *FormatLabel, *RaggedLabel, *YColumnLabel, *XColumnLabel;
  QTableWidget* PreviewTable;
  QComboBox *YColumnBox, *XColumnBox;
  QDialogButtonBox* ButtonBox;
};

}  // namespace kinvalo::app
