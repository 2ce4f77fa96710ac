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
  // Inserts the clipboard's text at the cursor; several cells go to the
  // grid instead (MultiCellPaste).
  void PasteClipboard();

 signals:
  // The complete new text of the cell. A key has been handled whole when
  // this comes: a message box opened by the cell's handler may close and
  // delete the editor, and nothing of the editor runs after it.
  void Edited(const QString& text);
  // The clipboard holds several cells: they are pasted into the grid from
  // this cell, as on a selected cell, and the editor's text is dropped.
  void MultiCellPaste();
  // Enter or Return: once the editor has closed, the cell below is next.
  void EnterPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  bool inKey_ = false;
};

class GridView;

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CellDelegate(GridView* view, CellTextHandler onEdit);
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;

 private:
  GridView* view_;
  CellTextHandler onEdit_;
};

// The grid itself, navigated as a spreadsheet: Tab and Shift+Tab run along
// the Y and X cells row by row (the serial numbers take no focus, being
// disabled) and stop at the ends of the table; Enter moves down. A paste or cut on a selected
// cell (no editor open) and the Delete key act on the cell's text through
// the same handler.
class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(QWidget* parent);

  // Closes the editor without taking its text, then pastes the clipboard
  // into the cell.
  void PasteFromEditor(QWidget* editor, const QModelIndex& index);
  // Makes the cell below `index` the current one (none below: stays).
  void MoveDownFrom(const QModelIndex& index);

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
