// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller: launch, the window's construction and connections, and adding files.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/Notifications.h"
#include "platform/NotificationCenter.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/DesktopNotifier.h"
#include "ui/FileAndFolderDialog.h"
#include "ui/FileOpenFilter.h"
#include "ui/FileSortModel.h"
#include "ui/FileTableMenu.h"
#include "ui/FileTableModel.h"
#include "ui/FileTableView.h"
#include "ui/HandOffMessage.h"
#include "ui/HelpMenu.h"
#include "ui/MainWindow.h"
#include "ui/MySecureFieldEditor.h"
#include "ui/MySecureTextField.h"
#include "ui/PassphraseChecker.h"
#include "ui/PreferencesSheet.h"
#include "ui/SecureFieldNotifications.h"
#include "ui/SuggestionDialog.h"
#include "ui/WindowActivation.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDropEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace {

std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The local files and folders a drag carries, in order; other URLs are left out.
std::vector<std::filesystem::path> localFilesIn(const QMimeData* data) {
    std::vector<std::filesystem::path> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            paths.push_back(toPath(url.toLocalFile()));
        }
    }
    return paths;
}

std::optional<QList<QUrl>> runFileAndFolderDialog(QWidget* parent) {
    FileAndFolderDialog dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosenUrls();
}

// A few times a second: often enough to look alive, seldom enough to cost nothing next to the run.
constexpr std::chrono::milliseconds kProgressInterval{200};

// The platform's key for a standard command, or the given one where the platform defines none.
QList<QKeySequence> shortcutsFor(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty()) {
        keys.append(fallback);
    }
    return keys;
}

} // namespace

BriskletAppDelegate::BriskletAppDelegate(QObject* parent)
    : QObject(parent), m_openPanel(runFileAndFolderDialog),
      m_urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      m_quitter([] { QCoreApplication::quit(); }) {
    applicationWillFinishLaunching();
    createWindow();
    createActions();
    createMenus();
    connectControls();
    attachFieldEditors();
    updateControls();
}

BriskletAppDelegate::~BriskletAppDelegate() {
    // Stop observing first, so that no report reaches a half-destroyed controller, and stop filtering the
    // table's events, which keep coming while the window tears the table down. A check still running is
    // stopped and waited for. Then the window, whose table and colour view read the Cryptor; the Cryptor
    // last, which waits for operations still running.
    m_registrations.clear();
    m_checker.reset();
    m_filesTable->viewport()->removeEventFilter(this);
    m_window.reset();
    m_cryptor.reset();
}

void BriskletAppDelegate::applicationWillFinishLaunching() {
    m_cryptor = std::make_unique<engine::Cryptor>();
    m_checker = std::make_unique<PassphraseChecker>();
    m_notifier = new DesktopNotifier(this);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressInterval);
    m_finishedLaunching = false;
    // The desktop may hand over files from now on.
    m_fileOpenFilter = new FileOpenFilter(this);
    connect(m_fileOpenFilter, &FileOpenFilter::fileOpenRequested, this,
            &BriskletAppDelegate::applicationOpenFile);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(m_fileOpenFilter);
    }
}

void BriskletAppDelegate::createWindow() {
    m_window = std::make_unique<MainWindow>();
    m_filesTable = m_window->filesTable();
    m_passPhraseField = m_window->passPhraseField();
    m_removeOKsButton = m_window->removeOKsButton();
    m_removeSelectedButton = m_window->removeSelectedButton();
    m_removeAllButton = m_window->removeAllButton();
    m_encryptButton = m_window->encryptButton();
    m_decryptButton = m_window->decryptButton();
    m_checkButton = m_window->checkButton();
    m_progressWheel = m_window->progressWheel();
    m_progressLabel = m_window->progressLabel();
    m_stopButton = m_window->stopButton();
    m_feedbackView = m_window->feedbackView();
    m_confirmationSheet = m_window->confirmationSheet();
    m_confirmationField = m_confirmationSheet->confirmationField();
    m_confirmOKButton = m_confirmationSheet->okButton();
    m_preferencesSheet = m_window->preferencesSheet();
    m_secondsField = m_preferencesSheet->secondsField();
    m_reEnterCheckBox = m_preferencesSheet->reEnterCheckBox();

    m_tableModel = new FileTableModel(m_cryptor.get(), m_filesTable);
    m_tableModel->setObjectName(QStringLiteral("filesTableModel"));
    m_sortModel = new FileSortModel(m_filesTable);
    m_sortModel->setObjectName(QStringLiteral("filesSortModel"));
    m_sortModel->setSourceModel(m_tableModel);
    m_window->setFilesModel(m_sortModel);
}

void BriskletAppDelegate::createActions() {
    auto makeAction = [this](const QString& text, const char* name, const QList<QKeySequence>& keys) {
        auto* action = new QAction(text, m_window.get());
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        // Also on the window itself, so that the keys work wherever the focus is in it.
        m_window->addAction(action);
        return action;
    };
    m_openAction = makeAction(tr("&Add Files and Folders…"), "openAction",
                              shortcutsFor(QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)));
    m_encryptAction = makeAction(tr("&Encrypt"), "encryptAction", {QKeySequence(Qt::CTRL | Qt::Key_E)});
    m_decryptAction = makeAction(tr("&Decrypt"), "decryptAction", {QKeySequence(Qt::CTRL | Qt::Key_D)});
    m_checkAction = makeAction(tr("&Check Passphrase"), "checkAction", {QKeySequence(Qt::CTRL | Qt::Key_K)});
    // Enabled only while a run is in progress, so that Escape otherwise keeps its everyday meanings.
    m_stopAction = makeAction(tr("S&top"), "stopAction", {QKeySequence(Qt::Key_Escape)});
    m_preferencesAction =
        makeAction(tr("&Preferences…"), "preferencesAction",
                   shortcutsFor(QKeySequence::Preferences, QKeySequence(Qt::CTRL | Qt::Key_Comma)));
    m_preferencesAction->setMenuRole(QAction::PreferencesRole);
    m_quitAction = makeAction(tr("&Quit"), "quitAction",
                              shortcutsFor(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    m_quitAction->setMenuRole(QAction::QuitRole);

    // Only while the list has the focus: in the passphrase field these keys edit the passphrase.
    m_removeAction = new QAction(tr("&Remove"), m_filesTable);
    m_removeAction->setObjectName(QStringLiteral("removeAction"));
    m_removeAction->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    m_removeAction->setShortcutContext(Qt::WidgetShortcut);
    m_filesTable->addAction(m_removeAction);
    m_showInFolderAction = new QAction(tr("Show in &Folder"), m_filesTable);
    m_showInFolderAction->setObjectName(QStringLiteral("showInFolderAction"));

    connect(m_openAction, &QAction::triggered, this, &BriskletAppDelegate::openDocument);
    connect(m_encryptAction, &QAction::triggered, this, &BriskletAppDelegate::encrypt);
    connect(m_decryptAction, &QAction::triggered, this, &BriskletAppDelegate::decrypt);
    connect(m_checkAction, &QAction::triggered, this, &BriskletAppDelegate::check);
    connect(m_stopAction, &QAction::triggered, this, &BriskletAppDelegate::stop);
    connect(m_preferencesAction, &QAction::triggered, this, &BriskletAppDelegate::showPreferencesSheet);
    connect(m_quitAction, &QAction::triggered, this, &BriskletAppDelegate::terminate);
    connect(m_removeAction, &QAction::triggered, this, &BriskletAppDelegate::removeSelected);
    connect(m_showInFolderAction, &QAction::triggered, this, &BriskletAppDelegate::showSelectedInFolder);
}

void BriskletAppDelegate::createMenus() {
    QMenuBar* bar = m_window->menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* fileMenu = bar->addMenu(tr("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    fileMenu->addAction(m_openAction);
    fileMenu->addSeparator();
    fileMenu->addAction(m_encryptAction);
    fileMenu->addAction(m_decryptAction);
    fileMenu->addAction(m_checkAction);
    fileMenu->addAction(m_stopAction);
    fileMenu->addSeparator();
    fileMenu->addAction(m_quitAction);
    QMenu* editMenu = bar->addMenu(tr("&Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    // Not during a run: its end empties the passphrase field, words and all.
    m_suggestAction = SuggestionDialog::addAction(editMenu, m_window.get(), m_passPhraseField);
    editMenu->addSeparator();
    editMenu->addAction(m_preferencesAction);
    new HelpMenu(m_window.get(), {m_openAction, m_encryptAction, m_decryptAction, m_checkAction, m_stopAction,
                                  m_preferencesAction, m_quitAction});

    m_tableMenu = new FileTableMenu(m_filesTable, m_window.get());
    m_tableMenu->rowMenu()->addAction(m_removeAction);
    m_tableMenu->rowMenu()->addAction(m_showInFolderAction);
    m_tableMenu->listMenu()->addAction(m_openAction);
    m_tableMenu->addButtonToListMenu(m_removeOKsButton, tr("Remove &Finished"), "removeFinishedAction");
    m_tableMenu->addButtonToListMenu(m_removeAllButton, tr("Remove A&ll"), "removeAllAction");
}

void BriskletAppDelegate::connectControls() {
    m_window->setCloseGuard([this] { return windowMayClose(); });
    connect(m_window.get(), &MainWindow::closing, this, [this] { windowWillClose(m_window.get()); });
    connect(m_filesTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BriskletAppDelegate::tableViewSelectionDidChange);
    connect(m_tableMenu, &FileTableMenu::aboutToShow, this, [this] {
        m_showInFolderAction->setEnabled(m_filesTable->selectionModel()->hasSelection());
        updateRemoveButtons();
    });
    connect(m_encryptButton, &QPushButton::clicked, this, &BriskletAppDelegate::encrypt);
    connect(m_decryptButton, &QPushButton::clicked, this, &BriskletAppDelegate::decrypt);
    connect(m_checkButton, &QPushButton::clicked, this, &BriskletAppDelegate::check);
    connect(m_passPhraseField, &QLineEdit::returnPressed, this, &BriskletAppDelegate::runForReturn);
    connect(m_stopButton, &QPushButton::clicked, this, &BriskletAppDelegate::stop);
    connect(m_progressTimer, &QTimer::timeout, this, &BriskletAppDelegate::showProgress);
    connect(m_checker.get(), &PassphraseChecker::answered, this, &BriskletAppDelegate::handleCheckAnswer);
    connect(m_checker.get(), &PassphraseChecker::finished, this, &BriskletAppDelegate::handleCheckEnd);
    connect(m_window->addButton(), &QPushButton::clicked, m_openAction, &QAction::trigger);
    connect(m_removeAllButton, &QPushButton::clicked, this, &BriskletAppDelegate::removeAll);
    connect(m_removeSelectedButton, &QPushButton::clicked, this, &BriskletAppDelegate::removeSelected);
    connect(m_removeOKsButton, &QPushButton::clicked, this, &BriskletAppDelegate::removeOKs);
    connect(m_confirmOKButton, &QPushButton::clicked, this, &BriskletAppDelegate::confirmConfirmationSheet);
    connect(m_confirmationSheet->encryptAgainButton(), &QPushButton::clicked, this,
            &BriskletAppDelegate::encryptAgainFromConfirmationSheet);
    connect(m_confirmationSheet->cancelButton(), &QPushButton::clicked, this,
            &BriskletAppDelegate::cancelConfirmationSheet);
    connect(m_confirmationSheet, &ConfirmationSheet::cancelRequested, this,
            &BriskletAppDelegate::cancelConfirmationSheet);
    connect(m_preferencesSheet->okButton(), &QPushButton::clicked, this,
            &BriskletAppDelegate::confirmPreferencesSheet);
}

void BriskletAppDelegate::attachFieldEditors() {
    for (MySecureTextField* field : {m_passPhraseField, m_confirmationField}) {
        field->setFieldEditor(windowWillReturnFieldEditor(field->window(), field));
    }
}

void BriskletAppDelegate::applicationDidFinishLaunching() {
    observeNotifications();
    registerTableForFileDrops();
    m_feedbackView->setCryptor(m_cryptor.get());
    m_feedbackView->clearRect();
    // The preferences' defaults need no registering: Preferences applies them whenever a key is absent.
    m_finishedLaunching = true;
    if (m_cryptor->urlCount() > 0) {
        reloadTable();
        m_passPhraseField->setFocus(Qt::OtherFocusReason);
    }
    recoverInterruptedRewrites();
    updateControls();
}

void BriskletAppDelegate::observeNotifications() {
    auto& center = platform::NotificationCenter::defaultCenter();
    auto observe = [&](std::string_view name, platform::NotificationCenter::Callback callback) {
        m_registrations.emplace_back(center,
                                     center.addObserver(std::string(name), nullptr, std::move(callback)));
    };
    // Posted on worker threads: queued onto the main thread, which keeps their order.
    observe(engine::kOperationTerminated, [this](const platform::Notification&) {
        QMetaObject::invokeMethod(
            this, [this] { handleEndOfQueue(); }, Qt::QueuedConnection);
    });
    observe(engine::kOperationUpdate, [this](const platform::Notification&) {
        QMetaObject::invokeMethod(
            this, [this] { handleOperationResult(); }, Qt::QueuedConnection);
    });
    // Posted on the main thread by the fields themselves, while the sending field is alive.
    observe(kSecureTextFieldUpdated, [this](const platform::Notification& notification) {
        handlePassphraseUpdate(notification.object);
    });
    observe(kSecureTextFieldCleared, [this](const platform::Notification& notification) {
        handlePassphraseDeletion(notification.object);
    });
}

void BriskletAppDelegate::registerTableForFileDrops() {
    m_filesTable->setAcceptDrops(true);
    m_filesTable->viewport()->setAcceptDrops(true);
    m_filesTable->viewport()->installEventFilter(this);
}

bool BriskletAppDelegate::applicationOpenFile(const QString& path) {
    m_cryptor->addURLs({toPath(path)});
    if (m_finishedLaunching) {
        afterAddingFiles();
    }
    return true;
}

void BriskletAppDelegate::openRequest(const LaunchRequest& request) {
    std::vector<std::filesystem::path> paths;
    paths.reserve(request.paths.size());
    for (const QByteArray& path : request.paths) {
        paths.emplace_back(path.toStdString());
    }
    m_cryptor->addURLs(paths);
    if (request.direction != LaunchDirection::None) {
        m_chosenDirection = request.direction;
    }
    if (m_finishedLaunching) {
        afterAddingFiles();
    }
}

void BriskletAppDelegate::openFilesFromAnotherInstance(const HandOffMessage& message) {
    if (!message.request.paths.empty()) {
        // The window is being handed a new batch: what the last one finished is done with.
        removeOKs();
    }
    openRequest(message.request);
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    activateForLaunch(m_window.get(), message.activationToken);
}

MySecureFieldEditor* BriskletAppDelegate::windowWillReturnFieldEditor(QWidget* /*window*/, QObject* object) {
    if (qobject_cast<MySecureTextField*>(object) == nullptr) {
        return nullptr;
    }
    if (!m_secureFieldEditor) {
        m_secureFieldEditor = std::make_unique<MySecureFieldEditor>();
    }
    return m_secureFieldEditor.get();
}

void BriskletAppDelegate::setOpenPanel(OpenPanel panel) {
    m_openPanel = std::move(panel);
}

void BriskletAppDelegate::setUrlOpener(UrlOpener opener) {
    m_urlOpener = std::move(opener);
}

void BriskletAppDelegate::setQuitter(std::function<void()> quitter) {
    m_quitter = std::move(quitter);
}

void BriskletAppDelegate::openDocument() {
    const std::optional<QList<QUrl>> urls = m_openPanel(m_window.get());
    if (!urls) {
        return;
    }
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : *urls) {
        if (url.isLocalFile()) {
            paths.push_back(toPath(url.toLocalFile()));
        }
    }
    m_cryptor->addURLs(paths);
    afterAddingFiles();
}

void BriskletAppDelegate::afterAddingFiles() {
    reloadTable();
    refreshOrder();
    updateControls();
    m_passPhraseField->setFocus(Qt::OtherFocusReason);
}

void BriskletAppDelegate::reloadTable() {
    // A model reset clears the selection without telling anyone; the selection rule is applied then.
    const bool hadSelection = m_filesTable->selectionModel()->hasSelection();
    m_tableModel->reload();
    if (hadSelection != m_filesTable->selectionModel()->hasSelection()) {
        tableViewSelectionDidChange();
    }
}

std::set<int64_t> BriskletAppDelegate::selectedCryptorRows() const {
    std::set<int64_t> rows;
    for (const QModelIndex& index : m_filesTable->selectionModel()->selectedRows()) {
        rows.insert(m_sortModel->mapToSource(index).row());
    }
    return rows;
}

int BriskletAppDelegate::cryptorRow(int tableRow) const {
    return m_sortModel->mapToSource(m_sortModel->index(tableRow, 0)).row();
}

void BriskletAppDelegate::refreshOrder() {
    if (!runInProgress()) {
        m_sortModel->refresh();
    }
}

void BriskletAppDelegate::tableViewSelectionDidChange() {
    updateRemoveButtons();
}

bool BriskletAppDelegate::tableViewValidateDrop(QTableView* table, const QMimeData* data) const {
    return table == m_filesTable && !localFilesIn(data).empty();
}

bool BriskletAppDelegate::tableViewAcceptDrop(QTableView* table, const QMimeData* data) {
    if (table != m_filesTable) {
        return false;
    }
    const std::vector<std::filesystem::path> paths = localFilesIn(data);
    if (paths.empty()) {
        return false;
    }
    // One at a time, and always at the end of the list, wherever the drop landed.
    for (const auto& path : paths) {
        m_cryptor->addURLs({path});
    }
    afterAddingFiles();
    return true;
}

bool BriskletAppDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filesTable->viewport()) {
        return handleDragEvent(event);
    }
    return QObject::eventFilter(watched, event);
}

bool BriskletAppDelegate::handleDragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const bool taken = tableViewValidateDrop(m_filesTable, drag->mimeData());
        if (taken) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        m_window->filesTable()->setDropHighlighted(taken);
        return true;
    }
    case QEvent::DragLeave:
        m_window->filesTable()->setDropHighlighted(false);
        return false;
    case QEvent::Drop: {
        m_window->filesTable()->setDropHighlighted(false);
        auto* drop = static_cast<QDropEvent*>(event);
        if (tableViewAcceptDrop(m_filesTable, drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}
