#include "app/input_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPalette>

namespace kinvalo::app {

namespace {

bool IsMultiCell(const QString& text) {
  return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\r')) ||
         text.contains(QLatin1Char('\n'));
}

}  // namespace

InputTableModel::InputTableModel(const InputTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.RowCount() - 1) {}

void InputTableModel::Sync() {
  const int rows = table_.RowCount() - 1;
  if (rows != shownRows_) {
    // A new shape: open editors are closed without writing back.
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
    return;
  }
  if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, InputTable::kColumns - 1));
  emit headerDataChanged(Qt::Horizontal, 0, InputTable::kColumns - 1);
}

int InputTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int InputTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : InputTable::kColumns;
}

QVariant InputTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return QString::fromStdString(table_.Cell(index.column(), index.row() + 1));
  }
  if (index.column() == 0) {
    // The serial numbers take no focus but read like the other cells.
    if (role == Qt::BackgroundRole) return QApplication::palette().color(QPalette::Button);
    if (role == Qt::ForegroundRole) return QApplication::palette().color(QPalette::Active, QPalette::Text);
  }
  return {};
}

QVariant InputTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString::fromStdString(table_.Cell(section, 0));
  return section + 1;
}

Qt::ItemFlags InputTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (index.column() == 0) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool InputTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() == 0) return false;
  const std::string text = value.toString().toStdString();
  if (text != table_.Cell(index.column(), index.row() + 1) && onEdit_) {
    onEdit_(index.column(), index.row() + 1, text);
  }
  return true;
}

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
  // A whole pasted column must fit.
  setMaxLength(1 << 30);
  setFrame(false);
  // Edits by other ways than a key (undo or delete from the context menu)
  // reach the handler from the event loop, after the editor's own work.
  connect(this, &QLineEdit::textEdited, this, [this] {
    if (inKey_) return;
    QMetaObject::invokeMethod(this, [this] { emit Edited(text()); }, Qt::QueuedConnection);
  });
}

void CellEditor::PasteClipboard() {
  if (!IsMultiCell(QApplication::clipboard()->text())) {
    paste();
    return;
  }
  emit MultiCellPaste();
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    event->accept();
    PasteClipboard();
    return;
  }
  // The line edit finishes the key before the cell's handler runs; the
  // handler may end with this editor gone, so nothing follows it.
  const QString before = text();
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  inKey_ = true;
  QLineEdit::keyPressEvent(event);
  inKey_ = false;
  if (enter) {
    emit EnterPressed();
  } else if (text() != before) {
    emit Edited(text());
  }
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event) {
  const QString before = text();
  inKey_ = true;
  QLineEdit::inputMethodEvent(event);
  inKey_ = false;
  if (text() != before) emit Edited(text());
}

void CellEditor::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (QAction* action : menu->actions()) {
    // The standard menu names its paste entry by its text only.
    if (action->objectName() == QLatin1String("edit-paste") || action->text().startsWith(QLineEdit::tr("&Paste"))) {
      action->setObjectName(QStringLiteral("edit-paste"));
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this, [this] { PasteClipboard(); });
    }
  }
  menu->popup(event->globalPos());
}

CellDelegate::CellDelegate(GridView* view, CellTextHandler onEdit)
    : QStyledItemDelegate(view), view_(view), onEdit_(std::move(onEdit)) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  auto* editor = new CellEditor(parent);
  editor->setObjectName(QStringLiteral("StringGrid1Editor"));
  const int col = index.column();
  const int row = index.row() + 1;
  CellTextHandler onEdit = onEdit_;
  GridView* view = view_;
  const QPersistentModelIndex cell(index);
  connect(editor, &CellEditor::Edited, editor,
          [onEdit, col, row](const QString& text) { onEdit(col, row, text.toStdString()); });
  connect(editor, &CellEditor::MultiCellPaste, editor,
          [view, editor, cell] { view->PasteFromEditor(editor, cell); });
  // The delegate commits and closes the editor from the event loop; the
  // move follows it there.
  connect(editor, &CellEditor::EnterPressed, view, [view, cell] {
    QMetaObject::invokeMethod(view, [view, cell] { view->MoveDownFrom(cell); }, Qt::QueuedConnection);
  });
  return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  const QString text = index.data(Qt::EditRole).toString();
  // The text being typed already is the cell's; setting it again would move
  // the cursor to the end.
  if (line && line->text() != text) line->setText(text);
}

GridView::GridView(QWidget* parent) : QTableView(parent) {}

void GridView::PasteFromEditor(QWidget* editor, const QModelIndex& index) {
  // Closed first: a question of the paste would otherwise make the editor
  // write its old text back over the pasted cell.
  closeEditor(editor, QAbstractItemDelegate::NoHint);
  setFocus();
  emit PasteRequested(index);
}

void GridView::MoveDownFrom(const QModelIndex& index) {
  if (!index.isValid() || state() == EditingState) return;
  const QModelIndex below = model()->index(index.row() + 1, index.column());
  if (below.isValid()) setCurrentIndex(below);
}

bool GridView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Delete)) {
      event->accept();
      return true;
    }
  }
  return QTableView::event(event);
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (state() != QAbstractItemView::EditingState) {
    if (event->matches(QKeySequence::Paste)) {
      emit PasteRequested(currentIndex());
      return;
    }
    if (event->matches(QKeySequence::Cut)) {
      emit CutRequested(currentIndex());
      return;
    }
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
      emit ClearRequested(selectedIndexes());
      return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
      MoveDownFrom(currentIndex());
      return;
    }
  }
  QTableView::keyPressEvent(event);
}

}  // namespace kinvalo::app

namespace kinvalo::app {

void GridView::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = indexAt(event->pos());
  if (!index.isValid() || index.column() == 0) return;
  setCurrentIndex(index);
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("StringGrid1Menu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* cut = menu->addAction(tr("Cu&t"));
  QAction* copy = menu->addAction(tr("&Copy"));
  QAction* paste = menu->addAction(tr("&Paste"));
  paste->setObjectName(QStringLiteral("edit-paste"));
  connect(cut, &QAction::triggered, this, [this, index] { emit CutRequested(index); });
  connect(copy, &QAction::triggered, this,
          [index] { QApplication::clipboard()->setText(index.data().toString()); });
  connect(paste, &QAction::triggered, this, [this, index] { emit PasteRequested(index); });
  menu->popup(event->globalPos());
}

}  // namespace kinvalo::app
