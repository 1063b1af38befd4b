#pragma once
// The grid: named text and check-box columns, cells by (column, row), rows
// cleared and appended, a before-edit callback that can refuse. A check box
// toggles with one click; text cells edit in place.

#include <QTableWidget>
#include <functional>
#include <vector>

#include "platform/GridColumn.h"

class TGrid : public QTableWidget {
  Q_OBJECT

 public:
  // Column and row of the cell about to change; false refuses the edit.
  using TBeforeEdit = std::function<bool(int column, int row)>;

  explicit TGrid(QWidget* parent = nullptr);

  // The grid owns its columns; give them in order.
  TGridColumn* AddColumn(TGridColumn::TKind kind, const QString& name);
  TGridColumn* Column(int index) const { return FColumns.at(static_cast<std::size_t>(index)); }
  int ColumnCount() const { return static_cast<int>(FColumns.size()); }
  void SetHeaderVisible(bool visible);
  void SetRowHeight(int height);
  // Exactly as tall as its header and this many rows, with no scroll bars.
  void FitToRows(int rows);

  void ClearRows();
  void AddRows(int count);

  QString CellText(int column, int row) const;
  void SetCellText(int column, int row, const QString& text);
  bool CellChecked(int column, int row) const;
  void SetCellChecked(int column, int row, bool checked);
  // A cell that holds nothing and cannot be reached (no check box in it).
  void SetCellBlank(int column, int row);

  TBeforeEdit OnBeforeEdit;

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTableWidgetItem* Item(int column, int row) const;
  void InitRow(int row);
  void Toggle(int column, int row);
  void ApplyColumn(int column);

  std::vector<TGridColumn*> FColumns;
  int FRowHeight = 20;
};
