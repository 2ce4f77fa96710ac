#pragma once
// The data table of the input tab: a view over the window-free InputTable.
// Every change of a cell's text, typed or pasted, reaches one handler with
// the column, the row and the complete new text of the cell.
#include <functional>

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>

#include "data/input_table.h"

namespace kinvalo::app {

// Called with (column, row, new text); row 1 is the first data row.
using CellTextHandler = std::function<void(int, int, const std::string&)>;

class InputTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  InputTableModel(const InputTable& table, QObject* parent);
  void SetEditHandler(CellTextHandler handler) { onEdit_ = std::move(handler); }
  // Shows the table as it now stands.
  void Sync();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  const InputTable& table_;
  CellTextHandler onEdit_;
  int shownRows_ = 0;
};

// The cell editor: a paste reaches the handler whole, tabs and line ends
// included, whether it comes by Ctrl+V or by the context menu.
class CellEditor : public QLineEdit {
  Q_OBJECT

 public:
  explicit CellEditor(QWidget* parent);
  // Inserts the clipboard's text at the cursor.
  void PasteClipboard();

 signals:
  // The complete new text of the cell after a paste of several cells.
  void MultiCellPaste(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CellDelegate(QObject* parent, CellTextHandler onEdit);
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;

 private:
  CellTextHandler onEdit_;
};

// The grid itself. A paste or cut on a selected cell (no editor open) and
// the Delete key act on the cell's text through the same handler.
class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(QWidget* parent);

 signals:
  void PasteRequested(const QModelIndex& index);
  void CutRequested(const QModelIndex& index);
  void ClearRequested(const QModelIndexList& indexes);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Right-click on a data cell: paste into it, or cut or copy its text.
  void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace kinvalo::app
