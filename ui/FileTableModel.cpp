// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's rows as Qt reads them: each listed file's name, status in words and folder.
#include "ui/FileTableModel.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "ui/RunProgress.h"
#include "ui/StatusColors.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

QString fromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

} // namespace

FileTableModel::FileTableModel(const engine::Cryptor* cryptor, QObject* parent)
    : QAbstractTableModel(parent), m_cryptor(cryptor) {}

int FileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int FileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const {
    // The Cryptor can only have shrunk behind the model's back if a reload is still to come.
    if (!index.isValid() || static_cast<uint64_t>(index.row()) >= m_cryptor->urlCount()) {
        return {};
    }
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return QString::fromStdString(m_cryptor->fileNameOnRow(row));
        case StatusColumn:
            return statusText(rowStatus(row));
        case FolderColumn:
            return folderOnRow(row);
        default:
            return {};
        }
    case StatusCodeRole:
        return m_cryptor->statusOnRow(row);
    case StatusToneRole:
        return static_cast<int>(statusTone(rowStatus(row)));
    case Qt::ToolTipRole:
        return toolTipOnRow(row);
    case Qt::AccessibleTextRole: {
        const QString words = statusText(rowStatus(row));
        const QString status = words.isEmpty() ? tr("not processed yet") : words;
        switch (index.column()) {
        case NameColumn:
            return tr("%1: %2").arg(QString::fromStdString(m_cryptor->fileNameOnRow(row)), status);
        case StatusColumn:
            return status;
        default:
            return folderOnRow(row);
        }
    }
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        switch (section) {
        case NameColumn:
            return tr("File");
        case StatusColumn:
            return tr("Status");
        case FolderColumn:
            return tr("Folder");
        default:
            break;
        }
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
        m_checkAnswers.clear();
        // The rows left have moved up; which of them exist is looked up afresh.
        lookForFiles(0);
        endResetModel();
        return;
    }
    if (count > m_rowCount) {
        beginInsertRows(QModelIndex(), m_rowCount, count - 1);
        const int first = m_rowCount;
        m_rowCount = count;
        lookForFiles(first);
        endInsertRows();
    }
    if (m_rowCount > 0) {
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1));
    }
}

void FileTableModel::lookForFiles(int first) {
    m_missing.resize(static_cast<size_t>(m_rowCount));
    for (int row = first; row < m_rowCount; ++row) {
        std::error_code error;
        // A link to nowhere is listed as a link, which a run refuses in its own words.
        const auto status = std::filesystem::symlink_status(m_cryptor->urlOnRow(row), error);
        m_missing[static_cast<size_t>(row)] = status.type() == std::filesystem::file_type::not_found;
    }
}

void FileTableModel::progressChanged() {
    if (m_running && m_firstRunRow < m_rowCount) {
        emitStatusChanged(m_firstRunRow, m_rowCount - 1);
    }
}

void FileTableModel::emitStatusChanged(int first, int last) {
    // The words, their tooltip and their colour; names and folders stay as they are.
    emit dataChanged(index(first, StatusColumn), index(last, StatusColumn),
                     {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole, StatusToneRole});
    emit dataChanged(index(first, NameColumn), index(last, NameColumn),
                     {Qt::ToolTipRole, Qt::AccessibleTextRole});
}

void FileTableModel::runStarting(RunDirection direction, int firstRow) {
    m_direction = direction;
    m_running = true;
    m_checking = false;
    m_firstRunRow = firstRow;
    m_checkAnswers.clear();
    m_rowsBeforeRun.clear();
    lookForFiles(0);
    const auto count = static_cast<int64_t>(m_cryptor->urlCount());
    m_rowsBeforeRun.reserve(static_cast<size_t>(count));
    for (int64_t row = 0; row < count; ++row) {
        m_rowsBeforeRun.emplace_back(m_cryptor->statusOnRow(row), m_cryptor->failureReasonOnRow(row));
    }
    reload();
}

void FileTableModel::runEnded() {
    m_running = false;
    m_rowsBeforeRun.clear();
    reload();
}

void FileTableModel::checkStarting() {
    // The direction stays: it still names what gave the codes, which show again once answers go.
    m_running = true;
    m_checking = true;
    m_firstRunRow = 0;
    m_rowsBeforeRun.clear();
    m_checkAnswers.assign(static_cast<size_t>(m_cryptor->urlCount()), std::nullopt);
    lookForFiles(0);
    reload();
}

void FileTableModel::setCheckAnswer(int row, CheckAnswer answer, const engine::Reason& why) {
    if (row < 0 || static_cast<size_t>(row) >= m_checkAnswers.size()) {
        return;
    }
    m_checkAnswers[static_cast<size_t>(row)] = RowCheck{answer, why};
    if (row < m_rowCount) {
        emitStatusChanged(row, row);
    }
}

void FileTableModel::checkEnded() {
    for (std::optional<RowCheck>& check : m_checkAnswers) {
        if (!check) {
            check = RowCheck{CheckAnswer::NotChecked, {}};
        }
    }
    m_running = false;
    m_checking = false;
    reload();
}

RowStatus FileTableModel::rowStatus(int row) const {
    RowStatus status;
    status.code = m_cryptor->statusOnRow(row);
    const std::string reason = m_cryptor->failureReasonOnRow(row);
    status.reason = QString::fromStdString(reason);
    status.reasons = m_cryptor->reasonCodesOnRow(row);
    status.fileName = QString::fromStdString(m_cryptor->fileNameOnRow(row));
    if (status.code == engine::StatusDone) {
        const std::filesystem::path finalURL = m_cryptor->finalURLOnRow(row);
        // After the list has followed the file, the row's own name is the new one.
        status.finalName = fromPath(finalURL.filename());
    }
    status.direction = m_direction;
    const auto index = static_cast<size_t>(row);
    status.missing = index < m_missing.size() && m_missing[index];
    if (index < m_checkAnswers.size() && m_checkAnswers[index]) {
        status.check = m_checkAnswers[index]->answer;
        status.checkReason = m_checkAnswers[index]->why;
        return status;
    }
    if (!m_running || row < m_firstRunRow) {
        return status;
    }
    if (m_checking) {
        if (index < m_checkAnswers.size()) {
            status.phase = RowPhase::InProgress;
            status.direction = RunDirection::Check;
        } else {
            status.phase = RowPhase::WaitingForNextRun;
        }
    } else if (index >= m_rowsBeforeRun.size()) {
        status.phase = RowPhase::WaitingForNextRun;
    } else if (const auto progress = m_cryptor->progressOnRow(row)) {
        // The engine says when a row's outcome is in, also one that repeats the row's earlier outcome.
        if (!progress->reported) {
            status.percent = percentDone(progress);
            status.phase = status.percent ? RowPhase::InProgress : RowPhase::Queued;
        }
    } else if (m_rowsBeforeRun[index] == std::pair(status.code, reason)) {
        status.phase = RowPhase::Queued;
    }
    return status;
}

QString FileTableModel::folderOnRow(int row) const {
    const std::filesystem::path url = m_cryptor->urlOnRow(row);
    return QDir::toNativeSeparators(fromPath(url.parent_path()));
}

QString FileTableModel::toolTipOnRow(int row) const {
    // The full path tells apart files of one name in two folders; the reason is the engine's own words.
    QString tip = QDir::toNativeSeparators(fromPath(m_cryptor->urlOnRow(row)));
    const QString words = statusText(rowStatus(row));
    if (!words.isEmpty()) {
        tip += QLatin1Char('\n') + words;
    }
    const QString reason = QString::fromStdString(m_cryptor->failureReasonOnRow(row));
    if (!reason.isEmpty() && !words.contains(reason, Qt::CaseInsensitive)) {
        tip += QLatin1Char('\n') + reason;
    }
    return tip;
}
