// SPDX-License-Identifier: GPL-3.0-or-later
// The window by keyboard: Tab order around the file list, unique mnemonics, removing rows with keys and
// the list's menu, and showing a file's folder.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <map>

namespace {

// The texts that answer to Alt+letter together: a window's buttons, buddy labels and menu titles, or one
// menu's actions.
using Levels = std::map<QString, QStringList>;

Levels mnemonicLevels(QWidget* mainWindow) {
    Levels levels;
    QList<QWidget*> windows{mainWindow};
    for (QDialog* sheet : mainWindow->findChildren<QDialog*>()) {
        windows.append(sheet);
    }
    for (QWidget* window : windows) {
        QStringList& texts = levels[window->objectName()];
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->window() == window) {
                texts.append(button->text());
            }
        }
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->window() == window && label->buddy() != nullptr) {
                texts.append(label->text());
            }
        }
    }
    for (QMenuBar* bar : mainWindow->findChildren<QMenuBar*>()) {
        for (QAction* action : bar->actions()) {
            levels[mainWindow->objectName()].append(action->text());
        }
    }
    for (QMenu* menu : mainWindow->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                levels[menu->objectName()].append(action->text());
            }
        }
    }
    return levels;
}

} // namespace

class KeyboardTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void tabLeavesTheFileList_data();
    void tabLeavesTheFileList();
    void mnemonicsAreUniqueOnEachLevel();
    void keysAndMenuRemoveTheSelectedRows_data();
    void keysAndMenuRemoveTheSelectedRows();
    void showInFolderOpensTheClickedFilesFolder();
    void returnRunsWhatTheListCallsFor_data();
    void returnRunsWhatTheListCallsFor();
    void theMenuKeyOpensTheMenuOfTheCurrentRowOrOfTheList_data();
    void theMenuKeyOpensTheMenuOfTheCurrentRowOrOfTheList();

private:
    void showWindow() {
        MainWindow* window = m_delegate->window();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
};

void KeyboardTest::tabLeavesTheFileList_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("next");
    QTest::newRow("Tab: on to the buttons below the list") << int(Qt::NoModifier) << "addButton";
    // The run buttons stand Check, Decrypt, Encrypt from left to right, and Tab takes them in that order.
    QTest::newRow("Shift+Tab: back to Encrypt") << int(Qt::ShiftModifier) << "encryptButton";
}

void KeyboardTest::tabLeavesTheFileList() {
    QFETCH(int, modifiers);
    QFETCH(QString, next);
    for (const char* name : {"a", "b", "c"}) {
        addFile(name, name);
    }
    QTest::keyClicks(find<MySecureTextField>("passPhraseField"), "secret");
    showWindow();
    table()->setFocus(Qt::TabFocusReason);
    table()->selectRow(1);
    QCOMPARE(QApplication::focusWidget(), table());

    QTest::keyClick(table(), Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    QVERIFY(QApplication::focusWidget() != nullptr);
    QCOMPARE(QApplication::focusWidget()->objectName(), next);
    QCOMPARE(table()->currentIndex().row(), 1);
}

void KeyboardTest::mnemonicsAreUniqueOnEachLevel() {
    const Levels levels = mnemonicLevels(m_delegate->window());
    QVERIFY(levels.count("mainWindow") && levels.count("fileMenu") && levels.count("filesTableMenu") &&
            levels.count("preferencesSheet") && levels.count("confirmationSheet"));
    for (const auto& [level, texts] : levels) {
        std::map<QKeySequence, QString> seen;
        for (const QString& text : texts) {
            if (text.isEmpty()) {
                continue; // such as the menu bar's extension button, which has an icon only
            }
            const QKeySequence key = QKeySequence::mnemonic(text);
            // Every command of the main window can be reached by Alt+letter.
            QVERIFY2(!key.isEmpty() || level != "mainWindow", qPrintable(level + ": " + text));
            if (key.isEmpty()) {
                continue;
            }
            const auto [it, added] = seen.emplace(key, text);
            QVERIFY2(added, qPrintable(level + ": \"" + it->second + "\" and \"" + text + "\" share " +
                                       key.toString()));
        }
    }
}

void KeyboardTest::keysAndMenuRemoveTheSelectedRows_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("duringARun");
    QTest::newRow("Delete") << "delete" << false;
    QTest::newRow("Backspace") << "backspace" << false;
    QTest::newRow("the list's menu") << "menu" << false;
    QTest::newRow("Delete during a run does nothing") << "delete" << true;
}

void KeyboardTest::keysAndMenuRemoveTheSelectedRows() {
    QFETCH(QString, how);
    QFETCH(bool, duringARun);
    setReEnterPassphrase(false);
    uitest::RunGate gate;
    const int count = uitest::RunGate::filesToHoldARun();
    for (int i = 0; i < count; ++i) {
        addFile(QString("f%1").arg(i),
                uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize, unsigned(i)));
    }
    showWindow();
    if (duringARun) {
        QTest::keyClicks(find<MySecureTextField>("passPhraseField"), uitest::kStrongPassphrase);
        m_delegate->encrypt();
        QVERIFY(m_delegate->cryptor().isBusy());
    } else {
        gate.release();
    }
    table()->setFocus(Qt::OtherFocusReason);
    // Through the selection model: selectRow() would heed the modifier keys an earlier test left behind.
    QItemSelectionModel* selection = table()->selectionModel();
    selection->select(table()->model()->index(0, 0),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->select(table()->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    if (how == "delete") {
        QTest::keyClick(table(), Qt::Key_Delete);
    } else if (how == "backspace") {
        QTest::keyClick(table(), Qt::Key_Backspace);
    } else {
        emit table()->customContextMenuRequested(table()->visualRect(table()->model()->index(2, 0)).center());
        auto* menu = find<QMenu>("filesTableMenu");
        QTRY_VERIFY(menu->isVisible());
        find<QAction>("removeAction")->trigger();
        menu->close();
    }
    QStringList expected;
    for (int i = 0; i < count; ++i) {
        if (duringARun || (i != 0 && i != 2)) {
            expected.append(QString("f%1").arg(i));
        }
    }
    QCOMPARE(rows(), expected);
    gate.release();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy(), 30000);
}

void KeyboardTest::showInFolderOpensTheClickedFilesFolder() {
    QList<QUrl> opened;
    m_delegate->setUrlOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    addFile("a/same.txt", "a");
    addFile("b/same.txt", "b");
    showWindow();
    table()->selectRow(0);

    // A right click outside the selection selects the clicked row.
    emit table()->customContextMenuRequested(table()->visualRect(table()->model()->index(1, 0)).center());
    auto* menu = find<QMenu>("filesTableMenu");
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(table()->selectionModel()->isRowSelected(1, QModelIndex()));
    QVERIFY(!table()->selectionModel()->isRowSelected(0, QModelIndex()));
    find<QAction>("showInFolderAction")->trigger();
    menu->close();
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(m_files->filePath("b"))});
}

void KeyboardTest::returnRunsWhatTheListCallsFor_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("plain files: Encrypt") << QStringList({"a.txt", "b"}) << "Encrypted";
    QTest::newRow("encrypted files: Decrypt") << QStringList({"a.txt.brisklet"}) << "Not an encrypted file";
    QTest::newRow("both kinds: nothing") << QStringList({"a.txt", "b.brisklet"}) << "";
}

void KeyboardTest::returnRunsWhatTheListCallsFor() {
    QFETCH(QStringList, names);
    QFETCH(QString, outcome);
    setReEnterPassphrase(false);
    for (const QString& name : names) {
        addFile(name, "not really encrypted");
    }
    auto* field = find<MySecureTextField>("passPhraseField");
    QTest::keyClicks(field, uitest::kStrongPassphrase);
    QTest::keyClick(field, Qt::Key_Return);
    if (outcome.isEmpty()) {
        QVERIFY(!m_delegate->cryptor().isBusy());
        QVERIFY(find<QLabel>("runHintLabel")->text().contains("Return does nothing"));
        QCOMPARE(field->hiddenStringValue(), QString(uitest::kStrongPassphrase));
        return;
    }
    QTRY_VERIFY(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled());
    QVERIFY2(rowStatus(0).startsWith(outcome), qPrintable(rowStatus(0)));
}

// The Menu key reaches the focused list as a context-menu request placed where its text cursor would be,
// which without a current row is the first row's place: the list must not pick that row for the user.
void KeyboardTest::theMenuKeyOpensTheMenuOfTheCurrentRowOrOfTheList_data() {
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("menuName");
    QTest::newRow("no current row: the list's menu") << -1 << "filesListMenu";
    QTest::newRow("a current row: its menu") << 1 << "filesTableMenu";
}

void KeyboardTest::theMenuKeyOpensTheMenuOfTheCurrentRowOrOfTheList() {
    QFETCH(int, currentRow);
    QFETCH(QString, menuName);
    for (const char* name : {"a", "b", "c"}) {
        addFile(name, name);
    }
    showWindow();
    table()->setFocus(Qt::OtherFocusReason);
    QItemSelectionModel* selection = table()->selectionModel();
    selection->clear();
    if (currentRow >= 0) {
        selection->setCurrentIndex(table()->model()->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    }
    QCOMPARE(table()->currentIndex().row(), currentRow);

    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), table()->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(table(), &menuKey);
    auto* menu = find<QMenu>(qPrintable(menuName));
    QTRY_VERIFY(menu->isVisible());
    const QString other = menuName == "filesListMenu" ? "filesTableMenu" : "filesListMenu";
    QVERIFY(!find<QMenu>(qPrintable(other))->isVisible());
    if (currentRow < 0) {
        QVERIFY(!selection->hasSelection());
        // What the list as a whole offers: adding to it and emptying it.
        QVERIFY(menu->actions().contains(find<QAction>("openAction")));
        QVERIFY(find<QAction>("removeAllAction")->isEnabled());
        QVERIFY(!find<QAction>("removeFinishedAction")->isEnabled());
        find<QAction>("removeAllAction")->trigger();
        menu->close();
        QCOMPARE(rows(), QStringList());
    } else {
        // The current row is what the menu acts on.
        QCOMPARE(selection->selectedRows().size(), qsizetype{1});
        QVERIFY(selection->isRowSelected(currentRow, QModelIndex()));
        QVERIFY(find<QAction>("removeAction")->isEnabled());
        menu->close();
    }
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
