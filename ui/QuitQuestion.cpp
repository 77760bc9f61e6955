// SPDX-License-Identifier: GPL-3.0-or-later
// The question asked when the user quits while files are being rewritten.
#include "ui/QuitQuestion.h"

#include "engine/Cryptor.h"

#include <QPushButton>
#include <QStringList>

namespace {

// More names than this would not fit the status bar.
constexpr int kNamesShown = 3;

QString questionFor(RunSummary::Kind kind) {
    switch (kind) {
    case RunSummary::Kind::Encrypt:
        return QuitQuestion::tr("Quit while files are being encrypted?");
    case RunSummary::Kind::Decrypt:
        return QuitQuestion::tr("Quit while files are being decrypted?");
    case RunSummary::Kind::Recovery:
    case RunSummary::Kind::Check:
        break;
    }
    return QuitQuestion::tr("Quit while files are being recovered?");
}

} // namespace

QuitQuestion::QuitQuestion(QWidget* parent)
    : QMessageBox(QMessageBox::Question, QString(), QString(), NoButton, parent) {
    setObjectName(QStringLiteral("quitQuestion"));
    setInformativeText(tr("Files not started yet stay untouched. Files being written are finished first, so "
                          "that none is left half written; then Brisklet quits."));
    m_stopAndQuit = addButton(tr("Stop and &Quit"), QMessageBox::AcceptRole);
    m_stopAndQuit->setObjectName(QStringLiteral("stopAndQuitButton"));
    QPushButton* keepRunning = addButton(tr("&Keep Running"), QMessageBox::RejectRole);
    keepRunning->setObjectName(QStringLiteral("keepRunningButton"));
    setDefaultButton(m_stopAndQuit);
    setEscapeButton(keepRunning);
    setWindowModality(Qt::WindowModal);
}

void QuitQuestion::ask(RunSummary::Kind kind) {
    const QString question = questionFor(kind);
    setWindowTitle(question);
    setText(question);
    open();
}

QString QuitQuestion::finishingMessage(const engine::Cryptor& cryptor) {
    QStringList names;
    int more = 0;
    const auto rows = static_cast<int64_t>(cryptor.urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        const auto progress = cryptor.progressOnRow(row);
        // Begun and not yet reported: what a stop lets finish. Files not begun end untouched at once.
        if (!progress || progress->reported || progress->done == 0) {
            continue;
        }
        if (names.size() < kNamesShown) {
            names.append(QString::fromStdString(cryptor.fileNameOnRow(static_cast<int32_t>(row))));
        } else {
            ++more;
        }
    }
    if (names.isEmpty()) {
        return tr("Finishing…");
    }
    if (more > 0) {
        return tr("Finishing %1 and %n more…", nullptr, more).arg(names.join(QStringLiteral(", ")));
    }
    if (names.size() == 1) {
        return tr("Finishing %1…").arg(names.first());
    }
    const QString last = names.takeLast();
    return tr("Finishing %1 and %2…").arg(names.join(QStringLiteral(", ")), last);
}
