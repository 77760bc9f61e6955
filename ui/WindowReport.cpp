// SPDX-License-Identifier: GPL-3.0-or-later
// What the window offers, as lines of text, for tests that drive the real program from outside.
#include "ui/WindowReport.h"

#include "engine/Cryptor.h"
#include "ui/BriskletAppDelegate.h"
#include "ui/MainWindow.h"

#include <QLabel>
#include <QPushButton>

namespace {

QByteArray nameOf(const QWidget* widget) {
    return widget != nullptr && !widget->objectName().isEmpty() ? widget->objectName().toUtf8() : "none";
}

} // namespace

QByteArray windowReport(const BriskletAppDelegate& delegate) {
    const MainWindow* window = delegate.window();
    const QPushButton* defaultButton = nullptr;
    for (const QPushButton* button : {window->encryptButton(), window->decryptButton()}) {
        if (button->isDefault()) {
            defaultButton = button;
        }
    }
    QByteArray report;
    report += "window: default=" + nameOf(defaultButton) + '\n';
    report += "window: focus=" + nameOf(window->focusWidget()) + '\n';
    report += "window: hint=" + window->runHintLabel()->text().toUtf8() + '\n';
    report += QByteArray("window: running=") + (delegate.cryptor().isBusy() ? "yes" : "no") + '\n';
    const auto rows = static_cast<int64_t>(delegate.cryptor().urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        report +=
            "window: row=" + QByteArray::fromStdString(delegate.cryptor().urlOnRow(row).string()) + '\n';
    }
    report += "window: end\n";
    return report;
}
