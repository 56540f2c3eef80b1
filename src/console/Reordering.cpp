#include "Reordering.h"

#include <QItemSelectionModel>
#include <QTableView>

#include "ServerListModel.h"
#include "store/ServerTable.h"

namespace vardex {

MoveOutcome MoveSelectedServers(QTableView& view, ServerListModel& model, ServerTable& table,
                                MoveDirection direction) {
    QItemSelectionModel& selection = *view.selectionModel();
    const int n = model.rowCount();
    const bool up = direction == MoveDirection::Up;
    const int step = up ? -1 : 1;
    const auto isSelected = [&](int row) { return selection.isRowSelected(row, QModelIndex()); };
    const auto rowFlags = QItemSelectionModel::Rows;

    for (int k = 0; k < n; ++k) {
        const int p = up ? k : n - 1 - k;
        if (isSelected(p)) {
            if (p + step < 0 || p + step >= n) {
                return MoveOutcome::AtTheEnd;
            }
            break;
        }
    }
    for (int k = 0; k < n; ++k) {
        const int p = up ? k : n - 1 - k;
        if (!isSelected(p)) {
            continue;
        }
        const int q = p + step;  // the neighbour just passed
        table.SwapAt(model.RecordIndexAt(p), model.RecordIndexAt(q));
        model.ExchangeRowStates(p, q);
        selection.select(model.index(q, 0), QItemSelectionModel::Select | rowFlags);
        selection.select(model.index(p, 0), QItemSelectionModel::Deselect | rowFlags);
        const int visible = up ? p - 2 : p + 1;
        if (visible >= 0 && visible < n) {
            view.scrollTo(model.index(visible, 0));
        }
    }
    return MoveOutcome::Moved;
}

}  // namespace vardex
