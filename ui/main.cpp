// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry: one window per user and display, opening the files it was started with.
#include "platform/Lease.h"
#include "platform/ProcessHardening.h"
#include "ui/BriskletAppDelegate.h"
#include "ui/HandOffMessage.h"
#include "ui/LaunchArguments.h"
#include "ui/MainWindow.h"
#include "ui/QuitSignals.h"
#include "ui/SingleInstance.h"
#include "ui/Translations.h"
#include "ui/WindowReport.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool environmentHas(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt aborts when it finds no display to connect to; a clear word is kinder, and there is a front end
// without a window for exactly this case.
bool hasDisplay() {
    return environmentHas("DISPLAY") || environmentHas("WAYLAND_DISPLAY") ||
           environmentHas("QT_QPA_PLATFORM");
}

// With BRISKLET_SCREENSHOT=file.png the window saves a picture of itself once shown, and the program
// ends: for documentation and for checking that the window comes up at all.
void scheduleScreenshot(MainWindow* window) {
    const QString path = qEnvironmentVariable("BRISKLET_SCREENSHOT");
    if (path.isEmpty()) {
        return;
    }
    QTimer::singleShot(1000, window, [window, path] {
        const bool saved = window->grab().save(path, "PNG");
        if (!saved) {
            std::fprintf(stderr, "brisklet: could not save the screenshot to %s\n", qPrintable(path));
        }
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

// The launch's activation token, read before Qt's platform plugin takes it out of the environment. One
// that could not travel is left out: the files matter more than raising the window.
QByteArray activationToken() {
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        if (environmentHas(name)) {
            const QByteArray token(std::getenv(name));
            return HandOffMessage::isValidToken(token) ? token : QByteArray();
        }
    }
    return {};
}

// With BRISKLET_WINDOW_REPORT=1, what the window offers is printed (ui/WindowReport.h), for tests that run
// the real program.
void reportWindow(const BriskletAppDelegate& delegate) {
    if (!environmentHas("BRISKLET_WINDOW_REPORT")) {
        return;
    }
    const QByteArray report = windowReport(delegate);
    std::fwrite(report.constData(), 1, static_cast<size_t>(report.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    // Before any passphrase or key exists: none of them may end up in a core file or before a debugger.
    platform::forbidCoreDumps();
    // A run holds a few descriptors per worker; a low soft limit must not fail rows that the hard one allows.
    platform::raiseOpenFileLimit();
    platform::ignoreLeaseBreakSignal();
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "brisklet: no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY is "
                     "set).\nUse brisklet-cli to encrypt or decrypt files from a terminal.\n");
        return 1;
    }
    HandOffMessage handOff;
    handOff.activationToken = activationToken();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brisklet"));
    QCoreApplication::setApplicationName(QStringLiteral("Brisklet"));
    QGuiApplication::setDesktopFileName(QStringLiteral("brisklet"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brisklet")));
    // The window follows the session's language; the words on standard error above stay English.
    Translations translations;
    translations.install();

    // The bytes as given, with Qt's own options taken out: decoded text would lose names in no encoding.
    QByteArrayList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QByteArray(argv[i]));
    }
    const LaunchArguments launch = parseLaunchArguments(arguments);
    if (!launch.error.isEmpty()) {
        std::fprintf(stderr, "brisklet: %s\n", qPrintable(launch.error));
        return 2;
    }
    handOff.request = launch.request;
    // The running window refuses a message with a path longer than any the system can open, and with it the
    // other files: such a path is left out here, with a word.
    std::erase_if(handOff.request.paths, [](const QByteArray& path) {
        if (path.size() <= HandOffMessage::kMaxPathBytes) {
            return false;
        }
        std::fprintf(stderr, "brisklet: left out a path longer than %lld bytes\n",
                     static_cast<long long>(HandOffMessage::kMaxPathBytes));
        return true;
    });
    const QString serverName = SingleInstance::defaultServerName();
    if (SingleInstance::handOff(serverName, handOff)) {
        return 0;
    }

    BriskletAppDelegate delegate;
    QuitSignals quitSignals;
    // The session ending the program is not asked whether to stop: the run stops, and the window stays
    // until the rewrites under way are done.
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &delegate, &BriskletAppDelegate::stopAndQuit);
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &delegate,
                     &BriskletAppDelegate::sessionEnding);
#endif
    SingleInstance instance;
    QObject::connect(&instance, &SingleInstance::messageReceived, &delegate,
                     [&delegate](const HandOffMessage& message) {
                         delegate.openFilesFromAnotherInstance(message);
                         reportWindow(delegate);
                     });
    instance.listen(serverName);

    delegate.openRequest(handOff.request);
    delegate.window()->show();
    delegate.applicationDidFinishLaunching();
    reportWindow(delegate);
    scheduleScreenshot(delegate.window());
    return QApplication::exec();
}
