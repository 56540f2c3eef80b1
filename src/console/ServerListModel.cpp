#include "ServerListModel.h"

#include <utility>

#include "GbkQt.h"
#include "StatePictures.h"

namespace vardex {
namespace {

Qt::Alignment ColumnAlignment(int column) {
    const bool centred = column == ServerListModel::kAccount || column == ServerListModel::kStatus;
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

ServerListModel::ServerListModel(const ServerTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int ServerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ServerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) {
        return QVariant();
    }
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole: {
            if (index.column() == kStatus) {
                return row.statusText;
            }
            QString text;
            table_.Visit(row.recordIndex, [&](const ServerRecord& r) {
                const std::string* fields[] = {&r.address, &r.port, &r.account, nullptr, &r.remark};
                text = ToQString(*fields[index.column()]);
            });
            return text;
        }
        case Qt::DecorationRole:
            return index.column() == kAddress ? QVariant(StatePixmap(row.picture)) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ColumnAlignment(index.column()));
        default:
            return QVariant();
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section > 4) {
        return QVariant();
    }
    if (role == Qt::DisplayRole) {
        static const QString titles[] = {QStringLiteral("主机IP地址"), QStringLiteral("端口"),
                                         QStringLiteral("登陆账号"), QStringLiteral("网络状态"),
                                         QStringLiteral("备注")};
        return titles[section];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(section));
    }
    return QVariant();
}

QString ServerListModel::StatusText(int status) {
    static const QString online = QStringLiteral("在线");
    static const QString offline = QStringLiteral("离线");
    static const QString notPinged = QStringLiteral("...");
    return status == kStatusOnline ? online : status == kStatusOffline ? offline : notPinged;
}

void ServerListModel::SetRows(const std::vector<int>& recordIndices) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(recordIndices.size());
    for (int index : recordIndices) {
        int status = kStatusNotPinged;
        table_.Visit(index, [&status](const ServerRecord& r) { status = r.status; });
        rows_.push_back(Row{index, status - 1, StatusText(status)});
    }
    endResetModel();
}

int ServerListModel::RecordIndexAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<size_t>(row)].recordIndex
               : 0;
}

void ServerListModel::SetRowState(int row, int picture, const QString& statusText) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return;
    }
    rows_[static_cast<size_t>(row)].picture = picture;
    rows_[static_cast<size_t>(row)].statusText = statusText;
    emit dataChanged(index(row, kAddress), index(row, kStatus));
}

int ServerListModel::RowPicture(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<size_t>(row)].picture
               : -1;
}

QString ServerListModel::RowStatusText(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<size_t>(row)].statusText
               : QString();
}

void ServerListModel::ExchangeRowStates(int a, int b) {
    const int count = static_cast<int>(rows_.size());
    if (a < 0 || b < 0 || a >= count || b >= count) {
        return;
    }
    Row& first = rows_[static_cast<size_t>(a)];
    Row& second = rows_[static_cast<size_t>(b)];
    std::swap(first.picture, second.picture);
    std::swap(first.statusText, second.statusText);
    emit dataChanged(index(std::min(a, b), 0), index(std::max(a, b), columnCount() - 1));
}

}  // namespace vardex
