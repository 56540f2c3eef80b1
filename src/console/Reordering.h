// Moving the selected servers of the list one place up or down.
#pragma once

class QTableView;

namespace vardex {

class ServerListModel;
class ServerTable;

enum class MoveDirection { Up, Down };
enum class MoveOutcome { Moved, AtTheEnd };

// Visits the rows in the direction of the move; each selected row exchanges its record with the
// record of the shown row before it (up) or after it (down), so a server takes the place of its
// shown neighbour while servers that are not shown keep their places. The rows keep their item
// values, exchange their pictures and status texts, and the selection follows the moved rows.
// When the first selected row met is already at the end, nothing moves.
MoveOutcome MoveSelectedServers(QTableView& view, ServerListModel& model, ServerTable& table,
                                MoveDirection direction);

}  // namespace vardex
