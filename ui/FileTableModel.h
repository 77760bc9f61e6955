// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's rows as Qt reads them: each listed file's name, status in words and folder.
#pragma once

#include "ui/StatusText.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace engine {
class Cryptor;
}

// The Cryptor is the single store of rows; this model only mirrors its row count between reloads, so
// that the view hears of every change through the model's signals. It also knows what the Cryptor does
// not keep: the direction of the latest run, which rows a run in progress has not reported yet, and the
// answers of the latest check, which stand in the Status column until the next run, and which listed paths
// do not exist.
class FileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, StatusColumn, FolderColumn, ColumnCount };
    // The row's engine::StatusCode as an int.
    static constexpr int StatusCodeRole = Qt::UserRole + 1;
    // The StatusTone of the row's words as an int, for the delegate that colours the row.
    static constexpr int StatusToneRole = Qt::UserRole + 2;

    // `cryptor` is not owned and must outlive the model.
    explicit FileTableModel(const engine::Cryptor* cryptor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Brings the rows in line with the Cryptor. Rows added at the end are announced as insertions and
    // every row as changed, so that a selection survives the status reports of a run; a shrunken list
    // resets the model, which clears the selection and the check's answers, whose rows have moved.
    void reload();
    // The progress counters have moved on: the rows of the run in progress are announced as changed.
    void progressChanged();

    // Call right before a run is asked for, and runEnded() once it is over or was refused. The Cryptor
    // keeps a row's previous outcome until the new one is reported, so the rows are remembered as they
    // were: a row still showing exactly that is not reported yet. Rows listed later wait for the next run.
    // Rows before `firstRow` are not part of the run.
    // A new run also takes away the answers of the last check.
    void runStarting(RunDirection direction, int firstRow = 0);
    void runEnded();

    // A check of the rows listed now: each shows "Checking…" until its answer is set; rows listed later
    // wait for the next run. At its end, rows left without an answer were not checked.
    void checkStarting();
    void setCheckAnswer(int row, CheckAnswer answer, const engine::Reason& why = {});
    void checkEnded();

    // What the row's status words are made from.
    RowStatus rowStatus(int row) const;
    // The folder that holds the row's file, as shown in the Folder column.
    QString folderOnRow(int row) const;

private:
    struct RowCheck {
        CheckAnswer answer;
        engine::Reason why;
    };

    QString toolTipOnRow(int row) const;
    // Looks again whether the paths of rows [first, m_rowCount) exist.
    void lookForFiles(int first);
    void emitStatusChanged(int first, int last);

    const engine::Cryptor* m_cryptor;
    int m_rowCount = 0;
    RunDirection m_direction = RunDirection::None;
    bool m_running = false;
    bool m_checking = false;
    int m_firstRunRow = 0;
    std::vector<std::pair<int32_t, std::string>> m_rowsBeforeRun;
    // Row by row for the rows the latest check covered; empty once a run or a removal has made them stale.
    std::vector<std::optional<RowCheck>> m_checkAnswers;
    // Row by row: the path did not exist when last looked at, which is when the row was listed and when a
    // run or check starts; in between the engine's own outcome says more.
    std::vector<bool> m_missing;
};
