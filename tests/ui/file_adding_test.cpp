// SPDX-License-Identifier: GPL-3.0-or-later
// Files reach the list: opened with the application before and after launch, through the open dialog,
// and dropped on the table.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/FileAndFolderDialog.h"
#include "ui/FileTableView.h"
#include "ui/HandOffMessage.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileOpenEvent>
#include <QImage>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

class FileAddingTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void filesOpenedBeforeLaunchAreShownWhenLaunchFinishes();
    void fileOpenedAfterLaunchIsShownAtOnce_data();
    void fileOpenedAfterLaunchIsShownAtOnce();
    void openPanelAddsFilesAndFoldersInOneGo();
    void cancelledOpenPanelAddsNothing();
    void theAddDialogOpensAFolderOnEnterAndAddsItWithAdd();
    void theEmptyListCarriesItsHintAndADragLightsItUp();
    void folderDroppedMidTableIsAppendedAtTheEnd();
    void dragsWithoutLocalFilesAreRefused_data();
    void dragsWithoutLocalFilesAreRefused();
    void dropOnAnotherTableIsRefused();

private:
    // Sends a drag over the table's first row, then drops it; whether the drop was taken.
    bool dragAndDrop(const QMimeData& data, bool* enterAccepted = nullptr);
};

bool FileAddingTest::dragAndDrop(const QMimeData& data, bool* enterAccepted) {
    QWidget* viewport = table()->viewport();
    const QPoint middle = table()->model()->rowCount() > 0
                              ? table()->visualRect(table()->model()->index(0, 0)).center()
                              : viewport->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(viewport, &enter);
    if (enterAccepted != nullptr) {
        *enterAccepted = enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
    }
    QDropEvent drop(QPointF(middle), offered, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QCoreApplication::sendEvent(viewport, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

void FileAddingTest::filesOpenedBeforeLaunchAreShownWhenLaunchFinishes() {
    // A controller whose launch has not finished yet.
    m_delegate.reset();
    m_delegate = std::make_unique<BriskletAppDelegate>();
    QVERIFY(!m_delegate->finishedLaunching());
    const QString a = uitest::writeFile(m_files->path(), "a.txt", "a");
    const QString b = uitest::writeFile(m_files->path(), "b.txt", "b");
    QVERIFY(m_delegate->applicationOpenFile(a));
    QVERIFY(m_delegate->applicationOpenFile(b));

    QCOMPARE(m_delegate->cryptor().urlCount(), 2u);
    QCOMPARE(table()->model()->rowCount(), 0);
    QVERIFY(!button("removeAllButton")->isEnabled());

    m_delegate->applicationDidFinishLaunching();
    QVERIFY(m_delegate->finishedLaunching());
    QCOMPARE(rows(), QStringList({"a.txt", "b.txt"}));
    QVERIFY(button("removeAllButton")->isEnabled());
    QCOMPARE(m_delegate->window()->focusWidget(), find<MySecureTextField>("passPhraseField"));
}

void FileAddingTest::fileOpenedAfterLaunchIsShownAtOnce_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("opened with the application") << "open";
    QTest::newRow("desktop file-open event") << "event";
    QTest::newRow("handed over by a second launch") << "handoff";
}

void FileAddingTest::fileOpenedAfterLaunchIsShownAtOnce() {
    QFETCH(QString, how);
    const QString path = uitest::writeFile(m_files->path(), "notes.txt", "some notes");
    if (how == "open") {
        QVERIFY(m_delegate->applicationOpenFile(path));
    } else if (how == "event") {
        QFileOpenEvent event(path);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
    } else {
        HandOffMessage message;
        message.request.paths = {QFile::encodeName(path)};
        m_delegate->openFilesFromAnotherInstance(message);
        QVERIFY(m_delegate->window()->isVisible());
    }
    QCOMPARE(rows(), QStringList({"notes.txt"}));
    QVERIFY(button("removeAllButton")->isEnabled());
    QCOMPARE(m_delegate->window()->focusWidget(), find<MySecureTextField>("passPhraseField"));
}

void FileAddingTest::openPanelAddsFilesAndFoldersInOneGo() {
    const QString file = uitest::writeFile(m_files->path(), "top.txt", "t");
    uitest::writeFile(m_files->path(), "folder/inner.txt", "i");
    uitest::writeFile(m_files->path(), "folder/.hidden", "h");
    int panels = 0;
    m_delegate->setOpenPanel([&](QWidget* parent) -> std::optional<QList<QUrl>> {
        ++panels;
        if (parent != m_delegate->window()) {
            return std::nullopt;
        }
        return QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(m_files->filePath("folder"))};
    });
    find<QAction>("openAction")->trigger();
    QCOMPARE(panels, 1);
    QCOMPARE(rows(), QStringList({"top.txt", "inner.txt"}));
    QVERIFY(button("removeAllButton")->isEnabled());
    QCOMPARE(m_delegate->window()->focusWidget(), find<MySecureTextField>("passPhraseField"));
}

void FileAddingTest::cancelledOpenPanelAddsNothing() {
    m_delegate->setOpenPanel([](QWidget*) { return std::optional<QList<QUrl>>(); });
    m_delegate->openDocument();
    QCOMPARE(table()->model()->rowCount(), 0);
    QVERIFY(!button("removeAllButton")->isEnabled());
}

// The dialog behind Add Files and Folders…: named alike everywhere, starting where the session last added
// from; Enter opens a selected folder, as in any file dialog, and the Add button adds it.
void FileAddingTest::theAddDialogOpensAFolderOnEnterAndAddsItWithAdd() {
    const auto plain = [](QString text) { return text.remove('&'); };
    QCOMPARE(plain(find<QAction>("openAction")->text()), QString("Add Files and Folders…"));
    QCOMPARE(plain(button("addButton")->text()), QString("Add Files and Folders…"));
    uitest::writeFile(m_files->path(), "folder/inner.txt", "i");
    const QString files = QDir(m_files->path()).canonicalPath();
    const QString folder = files + "/folder";
    {
        FileAndFolderDialog first(m_delegate->window());
        QCOMPARE(first.windowTitle(), QString("Add Files and Folders"));
        // No folder used yet in this session.
        QCOMPARE(first.directory().absolutePath(), QDir::homePath());
    }

    FileAndFolderDialog dialog(m_delegate->window());
    auto* list = dialog.findChild<QListView*>("listView");
    QVERIFY(list != nullptr);
    const auto selectFolder = [&] {
        dialog.setDirectory(files);
        QModelIndex index;
        QTRY_VERIFY((index = list->model()->index(0, 0, list->rootIndex())).isValid() &&
                    index.data().toString() == "folder");
        list->setFocus();
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    };
    dialog.open();
    selectFolder();
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.directory().canonicalPath(), folder);
    QVERIFY(dialog.chosenUrls().isEmpty());

    selectFolder();
    QPushButton* add = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QVERIFY(add != nullptr);
    QTRY_VERIFY(add->isEnabled() && plain(add->text()) == "Add");
    add->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenUrls(), QList<QUrl>{QUrl::fromLocalFile(folder)});

    // The next dialog of the session starts where this one added from.
    FileAndFolderDialog next(m_delegate->window());
    QCOMPARE(next.directory().canonicalPath(), files);
}

namespace {

// How many of the image's pixels have the colour, give or take the antialiasing of text.
int pixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green()) +
                                 qAbs(pixel.blue() - colour.blue()) <
                             24
                         ? 1
                         : 0;
        }
    }
    return count;
}

} // namespace

void FileAddingTest::theEmptyListCarriesItsHintAndADragLightsItUp() {
    auto* view = find<FileTableView>("filesTable");
    m_delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
    QCOMPARE(FileTableView::emptyHint(),
             QString("Drop files or folders here, or choose Add Files and Folders…"));
    const QColor hint = view->palette().color(QPalette::PlaceholderText);
    const QColor highlight = view->palette().color(QPalette::Highlight);
    // The hint stands in the middle, where a short list has no rows.
    const auto middle = [view] {
        const QImage image = view->viewport()->grab().toImage();
        return image.copy(0, image.height() * 2 / 5, image.width(), image.height() / 5);
    };
    QVERIFY(pixelsNear(middle(), hint) > 20);

    // A drag of files lights the list up until it leaves; one without files does not.
    const QString file = uitest::writeFile(m_files->path(), "dragged.txt", "d");
    const QPoint centre = view->viewport()->rect().center();
    for (const bool withFiles : {false, true}) {
        QMimeData data;
        if (withFiles) {
            data.setUrls({QUrl::fromLocalFile(file)});
        } else {
            data.setText("just words");
        }
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QCOMPARE(view->isDropHighlighted(), withFiles);
        QCOMPARE(pixelsNear(view->viewport()->grab().toImage(), highlight) > 100, withFiles);
        QDragLeaveEvent leave;
        QApplication::sendEvent(view->viewport(), &leave);
        QVERIFY(!view->isDropHighlighted());
    }
    QCOMPARE(pixelsNear(view->viewport()->grab().toImage(), highlight), 0);

    // With a row, the list no longer needs its hint.
    m_delegate->applicationOpenFile(file);
    QCOMPARE(pixelsNear(middle(), hint), 0);
}

void FileAddingTest::folderDroppedMidTableIsAppendedAtTheEnd() {
    addFile("first.txt", "1");
    addFile("second.txt", "2");
    uitest::writeFile(m_files->path(), "drop/b.txt", "b");
    uitest::writeFile(m_files->path(), "drop/.hidden", "h");
    uitest::writeFile(m_files->path(), "drop/sub/c.txt", "c");
    const QString single = uitest::writeFile(m_files->path(), "single.txt", "s");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_files->filePath("drop")), QUrl::fromLocalFile(single)});
    bool entered = false;
    QVERIFY(dragAndDrop(data, &entered));
    QVERIFY(entered);
    QCOMPARE(rows(), QStringList({"first.txt", "second.txt", "b.txt", "c.txt", "single.txt"}));
    QVERIFY(button("removeAllButton")->isEnabled());
    QCOMPARE(m_delegate->window()->focusWidget(), find<MySecureTextField>("passPhraseField"));
}

void FileAddingTest::dragsWithoutLocalFilesAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("plain text") << "text";
    QTest::newRow("web address") << "web";
    QTest::newRow("nothing at all") << "empty";
}

void FileAddingTest::dragsWithoutLocalFilesAreRefused() {
    QFETCH(QString, kind);
    addFile("kept.txt", "k");
    QMimeData data;
    if (kind == "text") {
        data.setText(m_files->filePath("kept.txt"));
    } else if (kind == "web") {
        data.setUrls({QUrl("https://example.org/file.txt")});
    }
    bool entered = true;
    QVERIFY(!dragAndDrop(data, &entered));
    QVERIFY(!entered);
    QCOMPARE(rows(), QStringList({"kept.txt"}));
}

void FileAddingTest::dropOnAnotherTableIsRefused() {
    const QString path = uitest::writeFile(m_files->path(), "x.txt", "x");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QTableView other;
    QVERIFY(!m_delegate->tableViewValidateDrop(&other, &data));
    QVERIFY(!m_delegate->tableViewAcceptDrop(&other, &data));
    QVERIFY(m_delegate->tableViewValidateDrop(table(), &data));
    QCOMPARE(table()->model()->rowCount(), 0);
}

QTEST_MAIN(FileAddingTest)
#include "file_adding_test.moc"
