#include "platform/Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Filters what is typed into the in-place editor: the column's own filter,
// then its typing limit (which text set by the program may exceed).
class TEditorFilter : public QObject {
 public:
  TEditorFilter(TGridColumn& column, QLineEdit& editor)
      : QObject(&editor), FColumn(column), FEditor(editor) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Escape ||
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab)
      return false;
    const QChar typed = text.front();
    if (FColumn.KeyFilter && !FColumn.KeyFilter(typed, FEditor)) return true;
    if (typed.isPrint() && FColumn.TypingLimit > 0 &&
        FEditor.text().size() - FEditor.selectedText().size() >= FColumn.TypingLimit)
      return true;
    return false;
  }

 private:
  TGridColumn& FColumn;
  QLineEdit& FEditor;
};

class TGridDelegate : public QStyledItemDelegate {
 public:
  TGridDelegate(TGrid& grid) : QStyledItemDelegate(&grid), FGrid(grid) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    TGridColumn* column = FGrid.Column(index.column());
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (!column->EditorName.isEmpty()) editor->setObjectName(column->EditorName);
    editor->installEventFilter(new TEditorFilter(*column, *editor));
    return editor;
  }

  // Check boxes sit in the middle of their cells.
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QVariant state = index.data(Qt::CheckStateRole);
    if (!state.isValid() || FGrid.Column(index.column())->Kind() != TGridColumn::TKind::CheckBox) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    QStyleOptionViewItem check = option;
    initStyleOption(&check, index);
    const QRect box =
        style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &check, option.widget);
    check.rect =
        QRect(option.rect.center() - QPoint(box.width() / 2, box.height() / 2), box.size());
    check.state = (check.state & ~(QStyle::State_On | QStyle::State_Off)) |
                  (state.toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, option.widget);
  }

 private:
  TGrid& FGrid;
};

}  // namespace

TGrid::TGrid(QWidget* parent) : QTableWidget(parent) {
  setItemDelegate(new TGridDelegate(*this));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::SingleSelection);
  verticalHeader()->setVisible(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(FRowHeight);
  horizontalHeader()->setSectionsMovable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
}

TGridColumn* TGrid::AddColumn(TGridColumn::TKind kind, const QString& name) {
  auto* column = new TGridColumn(kind, name, this);
  FColumns.push_back(column);
  const int index = static_cast<int>(FColumns.size()) - 1;
  setColumnCount(index + 1);
  setHorizontalHeaderItem(index, new QTableWidgetItem());
  connect(column, &TGridColumn::HeaderChanged, this, [this, index] { ApplyColumn(index); });
  for (int row = 0; row < rowCount(); ++row) InitRow(row);
  ApplyColumn(index);
  return column;
}

void TGrid::ApplyColumn(int index) {
  TGridColumn* column = Column(index);
  horizontalHeaderItem(index)->setText(column->Header());
  setColumnHidden(index, !column->Visible);
  setColumnWidth(index, column->Width);
}

void TGrid::SetHeaderVisible(bool visible) {
  horizontalHeader()->setVisible(visible);
}

void TGrid::SetRowHeight(int height) {
  FRowHeight = height;
  verticalHeader()->setDefaultSectionSize(height);
  verticalHeader()->setMinimumSectionSize(height);
}

void TGrid::FitToRows(int rows) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int header =
      horizontalHeader()->isVisibleTo(this) ? horizontalHeader()->sizeHint().height() : 0;
  setFixedHeight(header + rows * FRowHeight + 2 * frameWidth());
}

void TGrid::ClearRows() {
  setRowCount(0);
}

void TGrid::AddRows(int count) {
  for (int i = 0; i < count; ++i) {
    const int row = rowCount();
    insertRow(row);
    InitRow(row);
  }
  for (int i = 0; i < ColumnCount(); ++i) ApplyColumn(i);
}

void TGrid::InitRow(int row) {
  for (int c = 0; c < ColumnCount(); ++c) {
    if (item(row, c)) continue;
    auto* cell = new QTableWidgetItem();
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Column(c)->Kind() == TGridColumn::TKind::CheckBox) {
      cell->setData(Qt::CheckStateRole, Qt::Unchecked);
    } else if (Column(c)->Editable) {
      flags |= Qt::ItemIsEditable;
    }
    cell->setFlags(flags);
    setItem(row, c, cell);
  }
}

QTableWidgetItem* TGrid::Item(int column, int row) const {
  return column >= 0 && column < ColumnCount() ? item(row, column) : nullptr;
}

QString TGrid::CellText(int column, int row) const {
  const QTableWidgetItem* cell = Item(column, row);
  return cell ? cell->text() : QString();
}

void TGrid::SetCellText(int column, int row, const QString& text) {
  if (QTableWidgetItem* cell = Item(column, row)) cell->setText(text);
}

bool TGrid::CellChecked(int column, int row) const {
  const QTableWidgetItem* cell = Item(column, row);
  return cell && cell->data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TGrid::SetCellChecked(int column, int row, bool checked) {
  if (QTableWidgetItem* cell = Item(column, row))
    cell->setData(Qt::CheckStateRole, checked ? Qt::Checked : Qt::Unchecked);
}

void TGrid::SetCellBlank(int column, int row) {
  if (QTableWidgetItem* cell = Item(column, row)) {
    cell->setData(Qt::CheckStateRole, QVariant());
    cell->setFlags(Qt::NoItemFlags);
  }
}

void TGrid::Toggle(int column, int row) {
  const QTableWidgetItem* cell = Item(column, row);
  if (!cell || !cell->data(Qt::CheckStateRole).isValid()) return;  // a blank cell
  if (OnBeforeEdit && !OnBeforeEdit(column, row)) return;
  SetCellChecked(column, row, !CellChecked(column, row));
}

bool TGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (!index.isValid()) return false;
  const TGridColumn* column = Column(index.column());
  if (column->Kind() != TGridColumn::TKind::Text) return false;
  if (trigger != NoEditTriggers && trigger != CurrentChanged && OnBeforeEdit &&
      !OnBeforeEdit(index.column(), index.row()))
    return false;
  return QTableWidget::edit(index, trigger, event);
}

void TGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && event->button() == Qt::LeftButton &&
      Column(index.column())->Kind() == TGridColumn::TKind::CheckBox) {
    setCurrentIndex(index);
    Toggle(index.column(), index.row());
    return;
  }
  QTableWidget::mousePressEvent(event);
}

void TGrid::keyPressEvent(QKeyEvent* event) {
  const QModelIndex index = currentIndex();
  if (event->key() == Qt::Key_Space && index.isValid() &&
      Column(index.column())->Kind() == TGridColumn::TKind::CheckBox) {
    Toggle(index.column(), index.row());
    return;
  }
  QTableWidget::keyPressEvent(event);
}
