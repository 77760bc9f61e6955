// The main window as laid out on screen: file table, passphrase field, colour bars, buttons and sheets.
#pragma once

#include <QMainWindow>

class ColorFeedbackView;
class ConfirmationSheet;
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

    QTableView* filesTable() const { return m_filesTable; }
    // Shows the model in the file table (not owned) and sizes the table's columns for it.
    void setFilesModel(QAbstractItemModel* model);
    MySecureTextField* passPhraseField() const { return m_passPhraseField; }
    ColorFeedbackView* feedbackView() const { return m_feedbackView; }
    QPushButton* encryptButton() const { return m_encryptButton; }
    QPushButton* decryptButton() const { return m_decryptButton; }
    QPushButton* removeOKsButton() const { return m_removeOKsButton; }
    QPushButton* removeSelectedButton() const { return m_removeSelectedButton; }
    QPushButton* removeAllButton() const { return m_removeAllButton; }
    // Says what is missing while Encrypt and Decrypt are disabled; empty otherwise.
    QLabel* runHintLabel() const { return m_runHintLabel; }
    // Indeterminate; shown only while a run is in progress, its place kept while hidden.
    QProgressBar* progressWheel() const { return m_progressWheel; }
    ConfirmationSheet* confirmationSheet() const { return m_confirmationSheet; }
    PreferencesSheet* preferencesSheet() const { return m_preferencesSheet; }

signals:
    // The window is closing (the window delegate's "will close").
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createWidgets();
    void createLayout();
    void createSheets();

    QTableView* m_filesTable = nullptr;
    QLabel* m_passPhraseLabel = nullptr;
    MySecureTextField* m_passPhraseField = nullptr;
    ColorFeedbackView* m_feedbackView = nullptr;
    QPushButton* m_encryptButton = nullptr;
    QPushButton* m_decryptButton = nullptr;
    QPushButton* m_removeOKsButton = nullptr;
    QPushButton* m_removeSelectedButton = nullptr;
    QPushButton* m_removeAllButton = nullptr;
    QLabel* m_runHintLabel = nullptr;
    QProgressBar* m_progressWheel = nullptr;
    ConfirmationSheet* m_confirmationSheet = nullptr;
    PreferencesSheet* m_preferencesSheet = nullptr;
};
