// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as laid out on screen: file table, passphrase field, colour bars, buttons and sheets.
#pragma once

#include <QMainWindow>

#include <functional>

class ColorFeedbackView;
class ConfirmationSheet;
class FileTableView;
class MySecureTextField;
class PreferencesSheet;
class QAbstractItemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// Only the layout: the window owns its widgets and both sheets, and BriskletAppDelegate gives them their
// behaviour. Every widget carries an object name, which tests use to find it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    FileTableView* filesTable() const { return m_filesTable; }
    // Shows the model in the file table (not owned) and sizes the table's columns for it.
    void setFilesModel(QAbstractItemModel* model);
    MySecureTextField* passPhraseField() const { return m_passPhraseField; }
    ColorFeedbackView* feedbackView() const { return m_feedbackView; }
    QPushButton* encryptButton() const { return m_encryptButton; }
    QPushButton* decryptButton() const { return m_decryptButton; }
    QPushButton* checkButton() const { return m_checkButton; }
    // Opens the dialog that adds files and folders to the list, as the menu command does.
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* removeOKsButton() const { return m_removeOKsButton; }
    QPushButton* removeSelectedButton() const { return m_removeSelectedButton; }
    QPushButton* removeAllButton() const { return m_removeAllButton; }
    // Says what is missing while Encrypt and Decrypt are disabled; empty otherwise.
    QLabel* runHintLabel() const { return m_runHintLabel; }
    // The run's progress, 0 to kProgressBarMaximum (ui/RunProgress.h), with "3 of 10 files" beside it in
    // the progress label and the Stop button after it. All three are shown only while a run is in
    // progress, their places kept while hidden.
    QProgressBar* progressWheel() const { return m_progressWheel; }
    QLabel* progressLabel() const { return m_progressLabel; }
    QPushButton* stopButton() const { return m_stopButton; }
    // Shows or hides the bar, its label and the Stop button together.
    void setProgressShown(bool shown);
    ConfirmationSheet* confirmationSheet() const { return m_confirmationSheet; }
    PreferencesSheet* preferencesSheet() const { return m_preferencesSheet; }

    // Asked before the window closes: false keeps it open, as while a run is in progress the user is first
    // asked whether to stop it. Without a guard the window always closes.
    void setCloseGuard(std::function<bool()> mayClose);

signals:
    // The window is closing (the window delegate's "will close"); not emitted when the guard kept it open.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A new desktop palette (a switch to a dark theme) is made readable again.
    void changeEvent(QEvent* event) override;

private:
    void createWidgets();
    void createLayout();
    void createSheets();
    void applyReadablePalette();

    FileTableView* m_filesTable = nullptr;
    QLabel* m_passPhraseLabel = nullptr;
    MySecureTextField* m_passPhraseField = nullptr;
    ColorFeedbackView* m_feedbackView = nullptr;
    QPushButton* m_encryptButton = nullptr;
    QPushButton* m_decryptButton = nullptr;
    QPushButton* m_checkButton = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeOKsButton = nullptr;
    QPushButton* m_removeSelectedButton = nullptr;
    QPushButton* m_removeAllButton = nullptr;
    QLabel* m_runHintLabel = nullptr;
    QProgressBar* m_progressWheel = nullptr;
    QLabel* m_progressLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    std::function<bool()> m_mayClose;
    ConfirmationSheet* m_confirmationSheet = nullptr;
    PreferencesSheet* m_preferencesSheet = nullptr;
};
