// The file table's rows as Qt reads them: each listed file's name, coloured and described by its status.
#include "ui/FileTableModel.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"

#include <QColor>

#include <algorithm>
#include <limits>

FileTableModel::FileTableModel(const engine::Cryptor* cryptor, QObject* parent)
    : QAbstractTableModel(parent), m_cryptor(cryptor) {}

int FileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int FileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const {
    // The Cryptor can only have shrunk behind the model's back if a reload is still to come.
    if (!index.isValid() || static_cast<uint64_t>(index.row()) >= m_cryptor->urlCount()) {
        return {};
    }
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_cryptor->fileNameOnRow(row));
    case Qt::ForegroundRole:
        return textColorForStatus(m_cryptor->statusOnRow(row));
    case Qt::ToolTipRole:
        return toolTipOnRow(row);
    case Qt::AccessibleTextRole:
        return QString::fromStdString(m_cryptor->fileNameOnRow(row)) + QStringLiteral(": ") +
               describeStatus(m_cryptor->statusOnRow(row));
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) {
        return tr("File");
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FileTableModel::reload() {
    const int count = static_cast<int>(
        std::min<uint64_t>(m_cryptor->urlCount(), static_cast<uint64_t>(std::numeric_limits<int>::max())));
    if (count < m_rowCount) {
        beginResetModel();
        m_rowCount = count;
        endResetModel();
        return;
    }
    if (count > m_rowCount) {
        beginInsertRows(QModelIndex(), m_rowCount, count - 1);
        m_rowCount = count;
        endInsertRows();
    }
    if (m_rowCount > 0) {
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1));
    }
}

QVariant FileTableModel::textColorForStatus(int32_t code) {
    switch (code) {
    case engine::StatusDone:
        return QColor::fromRgbF(0.0f, 100 / 255.0f, 0.0f);
    case engine::StatusNotRenamed:
        return QColor(255, 165, 0);
    case engine::StatusFailed:
        return QColor(Qt::red);
    default:
        return {};
    }
}

QString FileTableModel::describeStatus(int32_t code) {
    switch (code) {
    case engine::StatusNone:
        return tr("Not processed yet");
    case engine::StatusDone:
        return tr("Done");
    case engine::StatusNotRenamed:
        return tr("Processed, but the file could not be renamed");
    case engine::StatusFailed:
        return tr("Failed");
    default:
        return tr("Unknown status %1").arg(code);
    }
}

QString FileTableModel::toolTipOnRow(int row) const {
    const int32_t code = m_cryptor->statusOnRow(row);
    QString tip = describeStatus(code);
    if (code == engine::StatusNotRenamed || code == engine::StatusFailed) {
        const std::string reason = m_cryptor->failureReasonOnRow(row);
        if (!reason.empty()) {
            tip += QStringLiteral(": ") + QString::fromStdString(reason);
        }
    }
    return tip;
}
