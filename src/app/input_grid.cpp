#include "app/input_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
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
  if (role == Qt::BackgroundRole && index.column() == 0) {
    return QApplication::palette().color(QPalette::Button);
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
  if (index.column() == 0) return Qt::ItemIsEnabled;
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
}

void CellEditor::PasteClipboard() {
  const QString clip = QApplication::clipboard()->text();
  if (!IsMultiCell(clip)) {
    paste();
    return;
  }
  QString text = this->text();
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  const qsizetype length = hasSelectedText() ? selectedText().size() : 0;
  text.replace(start, length, clip);
  emit MultiCellPaste(text);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    PasteClipboard();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
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

CellDelegate::CellDelegate(QObject* parent, CellTextHandler onEdit)
    : QStyledItemDelegate(parent), onEdit_(std::move(onEdit)) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  auto* editor = new CellEditor(parent);
  editor->setObjectName(QStringLiteral("StringGrid1Editor"));
  const int col = index.column();
  const int row = index.row() + 1;
  CellTextHandler onEdit = onEdit_;
  connect(editor, &QLineEdit::textEdited, editor,
          [onEdit, col, row](const QString& text) { onEdit(col, row, text.toStdString()); });
  connect(editor, &CellEditor::MultiCellPaste, editor,
          [onEdit, col, row](const QString& text) { onEdit(col, row, text.toStdString()); });
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
