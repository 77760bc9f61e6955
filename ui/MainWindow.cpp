// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as laid out on screen: file table, passphrase field, colour bars, buttons and sheets.
#include "ui/MainWindow.h"

#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/FileTableView.h"
#include "ui/MySecureTextField.h"
#include "ui/PreferencesSheet.h"
#include "ui/ReadablePalette.h"
#include "ui/RunProgress.h"
#include "ui/StatusItemDelegate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

namespace {

// The colour view computes its bars once, from the size it is created with, so it keeps that size.
constexpr QRectF kFeedbackFrame(0, 0, 96, 22);

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// Hidden without giving up its place, so that nothing in the row moves when a run starts or ends.
void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Brisklet"));
    createWidgets();
    createLayout();
    createSheets();
    applyReadablePalette();
    // The same size at every start: nothing of the window is remembered.
    resize(840, 480);
}

void MainWindow::applyReadablePalette() {
    setPalette(readablePalette(QApplication::palette(this)));
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyReadablePalette();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::setCloseGuard(std::function<bool()> mayClose) {
    m_mayClose = std::move(mayClose);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_mayClose && !m_mayClose()) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}

void MainWindow::setProgressShown(bool shown) {
    for (QWidget* widget : std::initializer_list<QWidget*>{m_progressWheel, m_progressLabel, m_stopButton}) {
        widget->setVisible(shown);
    }
}

void MainWindow::createWidgets() {
    m_filesTable = new FileTableView(this);
    m_filesTable->setObjectName(QStringLiteral("filesTable"));
    m_filesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_filesTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_filesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_filesTable->setAlternatingRowColors(true);
    // Tab moves on to the next control; the arrow keys move between rows.
    m_filesTable->setTabKeyNavigation(false);
    m_filesTable->setContextMenuPolicy(Qt::CustomContextMenu);
    m_filesTable->setItemDelegate(new StatusItemDelegate(m_filesTable));
    m_filesTable->setShowGrid(false);
    m_filesTable->setWordWrap(false);
    m_filesTable->setTextElideMode(Qt::ElideMiddle);
    m_filesTable->verticalHeader()->hide();
    m_filesTable->verticalHeader()->setDefaultSectionSize(m_filesTable->fontMetrics().height() + 8);
    m_filesTable->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_filesTable->setToolTip(FileTableView::emptyHint());
    m_filesTable->horizontalHeader()->setObjectName(QStringLiteral("filesTableHeader"));

    m_passPhraseField = new MySecureTextField(this);
    m_passPhraseField->setObjectName(QStringLiteral("passPhraseField"));
    m_passPhraseField->setPlaceholderText(tr("Type the passphrase"));
    m_passPhraseLabel = new QLabel(tr("&Passphrase:"), this);
    m_passPhraseLabel->setObjectName(QStringLiteral("passPhraseLabel"));
    m_passPhraseLabel->setBuddy(m_passPhraseField);

    m_feedbackView = new ColorFeedbackView(kFeedbackFrame, this);
    m_feedbackView->setObjectName(QStringLiteral("feedbackView"));
    m_feedbackView->setFixedSize(kFeedbackFrame.size().toSize());
    // Its place stays while it is hidden, so that the field does not jump at the fifth character.
    QSizePolicy feedbackPolicy = m_feedbackView->sizePolicy();
    feedbackPolicy.setRetainSizeWhenHidden(true);
    m_feedbackView->setSizePolicy(feedbackPolicy);
    m_feedbackView->setToolTip(tr("Colours of the passphrase: the same passphrase always shows the same "
                                  "colours"));
    // The same words whatever the colours: a screen reader must not read out anything of the digest.
    m_feedbackView->setAccessibleName(tr("Passphrase colours"));
    m_feedbackView->setAccessibleDescription(tr("Colour check of the passphrase: four bars"));

    // Mnemonics are unique in the window, menu titles included: &File and &Edit are taken.
    m_encryptButton = makeButton(tr("E&ncrypt"), "encryptButton", this);
    m_decryptButton = makeButton(tr("&Decrypt"), "decryptButton", this);
    m_checkButton = makeButton(tr("&Check"), "checkButton", this);
    // Mnemonics: Alt+A is Remove All's, and F the File menu's.
    m_addButton = makeButton(tr("Add F&iles and Folders…"), "addButton", this);
    m_removeOKsButton = makeButton(tr("&Remove Finished"), "removeOKsButton", this);
    m_removeSelectedButton = makeButton(tr("Remove &Selected"), "removeSelectedButton", this);
    m_removeAllButton = makeButton(tr("Remove &All"), "removeAllButton", this);
    // With an empty list there is nothing to remove.
    for (QPushButton* button : {m_removeOKsButton, m_removeSelectedButton, m_removeAllButton}) {
        button->setEnabled(false);
    }

    m_runHintLabel = new QLabel(this);
    m_runHintLabel->setObjectName(QStringLiteral("runHintLabel"));
    m_runHintLabel->setForegroundRole(QPalette::PlaceholderText);
    m_runHintLabel->setWordWrap(true);

    m_progressWheel = new QProgressBar(this);
    m_progressWheel->setObjectName(QStringLiteral("progressWheel"));
    m_progressWheel->setRange(0, kProgressBarMaximum);
    m_progressWheel->setTextVisible(true);
    m_progressWheel->setFixedWidth(140);
    m_progressWheel->setAccessibleName(tr("Progress of the run"));
    keepPlaceWhenHidden(m_progressWheel);

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    // Wide enough for "999 of 999 files" from the start, so that the bar does not move as files finish.
    m_progressLabel->setMinimumWidth(
        m_progressLabel->fontMetrics().horizontalAdvance(tr("999 of 999 files")));
    m_progressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    keepPlaceWhenHidden(m_progressLabel);

    m_stopButton = makeButton(tr("S&top"), "stopButton", this);
    m_stopButton->setToolTip(tr("Stop the run: files not yet being rewritten stay as they are (Esc)"));
    keepPlaceWhenHidden(m_stopButton);

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::createLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));

    auto* removeRow = new QHBoxLayout;
    removeRow->addWidget(m_addButton);
    removeRow->addWidget(m_removeOKsButton);
    removeRow->addWidget(m_removeSelectedButton);
    removeRow->addWidget(m_removeAllButton);
    removeRow->addStretch(1);
    removeRow->addWidget(m_progressLabel);
    removeRow->addWidget(m_progressWheel);
    removeRow->addWidget(m_stopButton);

    auto* passPhraseRow = new QHBoxLayout;
    passPhraseRow->addWidget(m_passPhraseLabel);
    passPhraseRow->addWidget(m_passPhraseField, 1);
    passPhraseRow->addWidget(m_feedbackView);

    auto* runRow = new QHBoxLayout;
    runRow->addWidget(m_runHintLabel, 1);
    runRow->addWidget(m_checkButton);
    runRow->addWidget(m_decryptButton);
    runRow->addWidget(m_encryptButton);

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_filesTable, 1);
    layout->addLayout(removeRow);
    layout->addSpacing(8);
    layout->addLayout(passPhraseRow);
    layout->addLayout(runRow);
    setCentralWidget(central);

    // Round the window: the passphrase, the run buttons as they stand from left to right, the list, the
    // buttons that act on the list.
    setTabOrder(m_passPhraseField, m_checkButton);
    setTabOrder(m_checkButton, m_decryptButton);
    setTabOrder(m_decryptButton, m_encryptButton);
    setTabOrder(m_encryptButton, m_filesTable);
    setTabOrder(m_filesTable, m_addButton);
    setTabOrder(m_addButton, m_removeOKsButton);
    setTabOrder(m_removeOKsButton, m_removeSelectedButton);
    setTabOrder(m_removeSelectedButton, m_removeAllButton);
    setTabOrder(m_removeAllButton, m_stopButton);
}

void MainWindow::setFilesModel(QAbstractItemModel* model) {
    m_filesTable->setModel(model);
    QHeaderView* header = m_filesTable->horizontalHeader();
    // The File column takes whatever width the window gains; the others keep theirs.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->resizeSection(1, 290);
    header->resizeSection(2, 200);
    // Sortable by a click on a header, but in the listed order until then.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_filesTable->setSortingEnabled(true);
    header->setSortIndicatorShown(true);
}

void MainWindow::createSheets() {
    m_confirmationSheet = new ConfirmationSheet(this);
    m_preferencesSheet = new PreferencesSheet(this);
}
