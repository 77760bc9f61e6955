// The file table's rows as Qt reads them: each listed file's name, coloured and described by its status.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <cstdint>

namespace engine {
class Cryptor;
}

// The Cryptor is the single store of rows; this model only mirrors its row count between reloads, so
// that the view hears of every change through the model's signals.
class FileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `cryptor` is not owned and must outlive the model.
    explicit FileTableModel(const engine::Cryptor* cryptor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Brings the rows in line with the Cryptor. Rows added at the end are announced as insertions and
    // every row as changed, so that a selection survives the status reports of a run; a shrunken list
    // resets the model, which clears the selection.
    void reload();

    // The row's text colour; invalid (the view's palette text colour, readable on dark themes too) for
    // StatusNone and for codes the table does not know.
    static QVariant textColorForStatus(int32_t code);
    // The status in words, for tooltips and assistive technology.
    static QString describeStatus(int32_t code);

private:
    QString toolTipOnRow(int row) const;

    const engine::Cryptor* m_cryptor;
    int m_rowCount = 0;
};
