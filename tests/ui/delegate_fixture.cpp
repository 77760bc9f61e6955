// SPDX-License-Identifier: GPL-3.0-or-later
// A controller with its window, made afresh for every test, with its widgets found by object name.
#include "tests/ui/delegate_fixture.h"

#include "ui/FileTableModel.h"

#include <QPushButton>
#include <QTableView>

namespace uitest {

void DelegateFixture::setUpSettings() {
    m_settings = std::make_unique<IsolatedSettings>();
}

void DelegateFixture::startTest() {
    m_settings->clear();
    m_files = std::make_unique<QTemporaryDir>();
    if (!m_files->isValid()) {
        qFatal("no scratch directory for the test's files");
    }
    m_delegate = std::make_unique<BriskletAppDelegate>();
    m_delegate->applicationDidFinishLaunching();
}

void DelegateFixture::endTest() {
    m_delegate.reset();
    m_files.reset();
}

QTableView* DelegateFixture::table() const {
    return find<QTableView>("filesTable");
}

QPushButton* DelegateFixture::button(const char* name) const {
    return find<QPushButton>(name);
}

QStringList DelegateFixture::rows() const {
    return rowTexts(table()->model());
}

QString DelegateFixture::rowStatus(int row) const {
    return table()->model()->index(row, FileTableModel::StatusColumn).data().toString();
}

int DelegateFixture::rowTone(int row) const {
    return table()
        ->model()
        ->index(row, FileTableModel::StatusColumn)
        .data(FileTableModel::StatusToneRole)
        .toInt();
}

QString DelegateFixture::addFile(const QString& name, const QByteArray& content) {
    const QString path = writeFile(m_files->path(), name, content);
    m_delegate->applicationOpenFile(path);
    return path;
}

} // namespace uitest
