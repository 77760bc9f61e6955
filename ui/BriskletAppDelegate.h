// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller: joins the main window, its sheets and the menus to the one Cryptor.
#pragma once

#include "platform/ObserverRegistration.h"
#include "ui/LaunchRequest.h"
#include "ui/RunSummary.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace engine {
class Cryptor;
}
class ColorFeedbackView;
class DesktopNotifier;
class ConfirmationSheet;
class FileOpenFilter;
class FileSortModel;
class FileTableMenu;
class FileTableModel;
struct HandOffMessage;
class MainWindow;
class PassphraseChecker;
class MySecureFieldEditor;
class MySecureTextField;
class PreferencesSheet;
class QuitQuestion;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPoint;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace engine {
struct CheckResult;
}

// Everything here runs on the main thread. The engine reports a run's progress on its worker threads;
// those reports are carried over to the main thread as queued calls, in the order they were posted. How
// far a run has come is polled from the engine's counters a few times a second while it lasts.
//
// A run is an encryption, a decryption, a check, or the recovery at launch; one at a time. Stop (the
// button, Escape) ends it early with the files not yet begun untouched. Quitting while one is in progress
// asks first; the window then stays, saying so, until the rewrites under way have ended.
//
// Launch order: constructing the controller is "launching begins" (the Cryptor, the window, menus and
// connections are made, nothing is shown); files opened with the application may then be passed to
// applicationOpenFile(); the caller shows window() and calls applicationDidFinishLaunching(), which lists
// those files on screen.
class BriskletAppDelegate : public QObject {
    Q_OBJECT
public:
    // Shows an open dialog; the chosen files and folders, or none when the user cancelled.
    using OpenPanel = std::function<std::optional<QList<QUrl>>(QWidget* parent)>;
    // Hands a URL to the desktop (QDesktopServices::openUrl); false when nothing could open it.
    using UrlOpener = std::function<bool(const QUrl& url)>;

    explicit BriskletAppDelegate(QObject* parent = nullptr);
    ~BriskletAppDelegate() override;

    MainWindow* window() const { return m_window.get(); }
    ConfirmationSheet* confirmationSheet() const { return m_confirmationSheet; }
    PreferencesSheet* preferencesSheet() const { return m_preferencesSheet; }
    engine::Cryptor& cryptor() const { return *m_cryptor; }
    bool finishedLaunching() const { return m_finishedLaunching; }

    // Application delegate.
    void applicationDidFinishLaunching();
    // Lists the file (a folder: its visible files); shown at once after launch, else when launch ends.
    // Always true.
    bool applicationOpenFile(const QString& path);
    // Lists the request's files in one batch, as applicationOpenFile() does, and preselects its direction
    // (a file manager's menu entry): that button becomes the default one, the hint line says that Return
    // runs it, and Return in the passphrase field runs it whatever the list holds. Nothing starts until the
    // user has typed the passphrase and confirmed. The choice lasts until a run starts or the list is empty.
    void openRequest(const LaunchRequest& request);
    // The direction preselected by the last request; None once a run has started or the list is empty.
    LaunchDirection chosenDirection() const { return m_chosenDirection; }

    // Window delegate. The one shared editor for every MySecureTextField, created on the first request;
    // null for any other object.
    MySecureFieldEditor* windowWillReturnFieldEditor(QWidget* window, QObject* object);
    // Closing the main window ends the application; other windows closing do nothing.
    void windowWillClose(QWidget* window);

    // Table delegate. A drop is valid only on the file table and only with local files or folders in
    // it; it always lands at the end of the list, wherever it was dropped.
    void tableViewSelectionDidChange();
    bool tableViewValidateDrop(QTableView* table, const QMimeData* data) const;
    bool tableViewAcceptDrop(QTableView* table, const QMimeData* data);

    // Replaces the real open dialog, so that tests never block in a modal dialog.
    void setOpenPanel(OpenPanel panel);
    // Replaces the desktop's URL handler, so that tests never start a file manager.
    void setUrlOpener(UrlOpener opener);
    // Replaces QCoreApplication::quit, so that tests see the application end without ending themselves.
    void setQuitter(std::function<void()> quitter);

public slots:
    void openDocument();
    void encrypt();
    void decrypt();
    // Tells for each listed file whether the passphrase opens it, on a worker thread and writing nothing;
    // the answers stand in the Status column until the next run, and the rows' codes stay as they were.
    void check();
    // Return in the passphrase field: the direction a menu entry chose, if any; else Decrypt when every
    // listed file is encrypted, Encrypt when none is, and nothing on a mixed list, whose hint then says why.
    void runForReturn();
    // Stops the run in progress: files not yet begun stay untouched; rewrites under way finish.
    void stop();
    // Quit as the user asks for it (the Quit command, closing the window): while files are being rewritten
    // the user is asked first whether to stop; a check, which writes nothing, just stops.
    void terminate();
    // Quit as the session asks for it (a stopping signal, a logout): no question. A run in progress is
    // stopped, and the window stays, naming the files it is finishing, until the rewrites under way have
    // ended.
    void stopAndQuit();
    // The desktop session is ending (a logout): a run in progress ends as with stopAndQuit(); without one
    // nothing happens here, and the session ends the application itself.
    void sessionEnding();
    void removeAll();
    void removeSelected();
    void removeOKs();
    // Opens the folder of the current row (or of the first selected one) in the desktop's file manager.
    void showSelectedInFolder();
    void cancelConfirmationSheet();
    // OK, or Skip Them when files listed are encrypted already: the run leaves those files out.
    void confirmConfirmationSheet();
    // Encrypt Them Again: files already encrypted are encrypted once more, with the rest.
    void encryptAgainFromConfirmationSheet();
    void showPreferencesSheet();
    void confirmPreferencesSheet();
    // A later launch's request: finished rows go first (unless a run is in progress), then the files are
    // listed and the direction preselected as by openRequest(), and the window comes to the front with the
    // later launch's activation token.
    void openFilesFromAnotherInstance(const HandOffMessage& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Direction { Encrypt, Decrypt };
    enum class AlreadyEncryptedFiles { Skip, EncryptAgain };

    void applicationWillFinishLaunching();
    void createWindow();
    void createActions();
    void createMenus();
    void connectControls();
    void attachFieldEditors();
    void observeNotifications();
    void registerTableForFileDrops();

    void handleOperationResult();
    void handleEndOfQueue();
    void handleCheckAnswer(int row, const engine::CheckResult& result);
    void handleCheckEnd(bool stopped);
    void handlePassphraseUpdate(const void* object);
    void handlePassphraseDeletion(const void* object);

    // From a run's start until the main thread has handled its end; the Cryptor may finish earlier.
    bool runInProgress() const;
    // Every enabled state and hint that follows from the list, the selection, the passphrase and a run.
    void updateControls();
    void updateRemoveButtons();
    void updateRunButtons();
    void reloadTable();
    // The Cryptor rows of the selected table rows, whatever order the table shows them in.
    std::set<int64_t> selectedCryptorRows() const;
    // The Cryptor row of a table row (a row of the sorted view).
    int cryptorRow(int tableRow) const;
    // The table's order again, once a run has ended or the list has changed.
    void refreshOrder();
    void afterAddingFiles();
    // `skippedRows`: rows an encryption leaves out (engine::Cryptor::encryptFilesUsingPassPhrase).
    void startRun(Direction direction, const std::set<int64_t>& skippedRows = {});
    void confirmEncryption(AlreadyEncryptedFiles choice);
    // The window's side of a run's start and end, whatever kind of run it is.
    void runDidStart();
    void runDidEnd();
    void showProgress();
    void emptyPassphraseField();
    void recoverInterruptedRewrites();
    void compareConfirmation();
    void emptyConfirmationField();
    void showMessage(const QString& message);
    void showRecoveryOutcome();
    void showStopOutcome();
    // The run's summary in the status bar (unless a stop or the recovery says more), and as a desktop
    // notification when a long run ends unseen or quitting mid-run has finished.
    void announceRunEnd();
    bool handleDragEvent(QEvent* event);
    // The window's close guard: it may close unless a run is in progress, which asks first.
    bool windowMayClose();
    void askToStopAndQuit();
    void quitNow();

    // The window owns every widget and both sheets; the pointers below are views into it.
    std::unique_ptr<MainWindow> m_window;
    QTableView* m_filesTable = nullptr;
    MySecureTextField* m_passPhraseField = nullptr;
    MySecureTextField* m_confirmationField = nullptr;
    QLineEdit* m_secondsField = nullptr;
    QPushButton* m_removeOKsButton = nullptr;
    QPushButton* m_removeSelectedButton = nullptr;
    QPushButton* m_removeAllButton = nullptr;
    QPushButton* m_encryptButton = nullptr;
    QPushButton* m_decryptButton = nullptr;
    QPushButton* m_checkButton = nullptr;
    QPushButton* m_confirmOKButton = nullptr;
    QCheckBox* m_reEnterCheckBox = nullptr;
    QProgressBar* m_progressWheel = nullptr;
    QLabel* m_progressLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    QuitQuestion* m_quitQuestion = nullptr; // a child of the window, made when first needed
    ColorFeedbackView* m_feedbackView = nullptr;
    ConfirmationSheet* m_confirmationSheet = nullptr;
    PreferencesSheet* m_preferencesSheet = nullptr;
    std::unique_ptr<engine::Cryptor> m_cryptor;
    std::unique_ptr<MySecureFieldEditor> m_secureFieldEditor;
    std::unique_ptr<PassphraseChecker> m_checker;
    bool m_finishedLaunching = false;
    LaunchDirection m_chosenDirection = LaunchDirection::None;
    uint64_t m_recovering = 0; // files the recovery run at launch completes; 0 once it has ended

    FileTableModel* m_tableModel = nullptr; // owned by the table
    FileSortModel* m_sortModel = nullptr;   // owned by the table; what the table shows
    QAction* m_openAction = nullptr;
    QAction* m_encryptAction = nullptr;
    QAction* m_decryptAction = nullptr;
    QAction* m_checkAction = nullptr;
    QAction* m_stopAction = nullptr;
    QAction* m_preferencesAction = nullptr;
    QAction* m_suggestAction = nullptr; // Edit ▸ Suggest a Passphrase…
    QAction* m_quitAction = nullptr;
    QAction* m_removeAction = nullptr;       // Delete and Backspace in the file table, and its menu
    QAction* m_showInFolderAction = nullptr; // the file table's menu
    FileTableMenu* m_tableMenu = nullptr;    // a child of the window
    bool m_runInProgress = false;
    RunSummary::Kind m_runKind = RunSummary::Kind::Encrypt;
    QElapsedTimer m_runClock;
    DesktopNotifier* m_notifier = nullptr; // a child of this controller
    bool m_stopRequested = false;
    // Asking: the question is open. Finishing: stopped, waiting for the run's end to quit. Now: quitting.
    enum class Quitting { No, Asking, Finishing, Now };
    Quitting m_quitting = Quitting::No;
    QTimer* m_progressTimer = nullptr; // a child of this controller
    int m_checkAnswers = 0;            // answers of the check in progress so far, of m_checkFiles
    int m_checkFiles = 0;
    FileOpenFilter* m_fileOpenFilter = nullptr; // a child of this controller
    OpenPanel m_openPanel;
    UrlOpener m_urlOpener;
    std::function<void()> m_quitter;
    std::vector<platform::ObserverRegistration> m_registrations;
};
