// The rows of the server list: each row names its record by the record's 1-based table index
// (its item value) and carries its own state picture and status text; the other columns are
// read from the table when they are painted, so the list keeps no second copy of the servers.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "store/ServerTable.h"

namespace vardex {

class ServerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kAddress = 0, kPort = 1, kAccount = 2, kStatus = 3, kRemark = 4 };

    explicit ServerListModel(const ServerTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces every row: one per table index, picture and text from the record's status.
    void SetRows(const std::vector<int>& recordIndices);
    // The item value of a row; 0 where no row exists.
    int RecordIndexAt(int row) const;
    // What the monitor writes into a row.
    void SetRowState(int row, int picture, const QString& statusText);
    int RowPicture(int row) const;
    QString RowStatusText(int row) const;
    // Two rows exchange their state pictures and status texts; their records were exchanged in
    // the table, so every column of both rows is shown anew.
    void ExchangeRowStates(int a, int b);

    static QString StatusText(int status);

private:
    struct Row {
        int recordIndex;
        int picture;
        QString statusText;
    };

    const ServerTable& table_;
    std::vector<Row> rows_;
};

}  // namespace vardex
