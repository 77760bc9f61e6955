// SPDX-License-Identifier: GPL-3.0-or-later
// The one line that sums up a run once it has ended, e.g. "6 encrypted, 3 failed, 1 stopped".
#include "ui/RunSummary.h"

#include "engine/StatusCode.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString category(const char* words, int count) {
    return QCoreApplication::translate("RunSummary", words, nullptr, count);
}

} // namespace

void RunSummary::addRow(int32_t code, const std::vector<engine::Reason>& reasons) {
    if (hasReason(reasons, engine::ReasonCode::SameFileAs)) {
        return;
    }
    if (m_kind == Kind::Recovery) {
        if (code == engine::StatusDone || code == engine::StatusNotRenamed) {
            ++m_counts[0];
        } else if (code == engine::StatusFailed) {
            ++m_counts[1];
        }
        return;
    }
    if (hasReason(reasons, engine::ReasonCode::Stopped)) {
        ++m_counts[3];
        return;
    }
    switch (code) {
    case engine::StatusDone:
        ++m_counts[0];
        break;
    case engine::StatusNotRenamed:
        ++m_counts[1];
        break;
    case engine::StatusFailed:
        ++m_counts[2];
        break;
    default:
        break;
    }
}

void RunSummary::addCheckAnswer(CheckAnswer answer) {
    switch (answer) {
    case CheckAnswer::Opens:
        ++m_counts[0];
        break;
    case CheckAnswer::DoesNotOpen:
        ++m_counts[1];
        break;
    case CheckAnswer::NotEncrypted:
        ++m_counts[2];
        break;
    case CheckAnswer::Unreadable:
    case CheckAnswer::RewritePending:
        ++m_counts[3];
        break;
    case CheckAnswer::NotChecked:
        break;
    }
}

QString RunSummary::text() const {
    std::array<const char*, 4> words{};
    switch (m_kind) {
    case Kind::Encrypt:
        words = {QT_TRANSLATE_N_NOOP("RunSummary", "%n encrypted"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n not renamed"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n failed"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n stopped")};
        break;
    case Kind::Decrypt:
        words = {QT_TRANSLATE_N_NOOP("RunSummary", "%n decrypted"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n not renamed"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n failed"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n stopped")};
        break;
    case Kind::Check:
        words = {QT_TRANSLATE_N_NOOP("RunSummary", "%n open"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n do not open"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n not encrypted"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n could not be read")};
        break;
    case Kind::Recovery:
        words = {QT_TRANSLATE_N_NOOP("RunSummary", "%n recovered"),
                 QT_TRANSLATE_N_NOOP("RunSummary", "%n failed"), nullptr, nullptr};
        break;
    }
    QStringList parts;
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] != nullptr && m_counts[i] > 0) {
            parts.append(category(words[i], m_counts[i]));
        }
    }
    return parts.join(QLatin1String(", "));
}
