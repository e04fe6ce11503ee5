// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <initializer_list>
#include <string_view>
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "app/ConsoleHelp.h"
#include "app/ConsoleOptions.h"
#include "app/ConsoleRunner.h"
#include "app/DemoPackets.h"
#include "app/GuiLauncher.h"
#include "app/QtOptions.h"
#include "app/TimerProbe.h"
#include "app/Translations.h"
#include "app/Version.h"

namespace {

#ifdef Q_OS_UNIX
// Ctrl-C ends a run the way its --seconds limit would: the handler only writes a byte to a
// socket pair, and the event loop finishes the run.
int g_signalFds[2] = {-1, -1};

void OnInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalFds[0], &byte, 1);
}

void FinishOnInterrupt(vantor::ConsoleRunner& runner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, &runner);
    QObject::connect(notifier, &QSocketNotifier::activated, &runner, [&runner, notifier] {
        notifier->setEnabled(false);
        runner.Finish();
    });
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}
#else
void FinishOnInterrupt(vantor::ConsoleRunner&) {}
#endif

// --help and --version print their text to standard output and end the program.
bool PrintedInfo(const vantor::ParsedOptions& parsed) {
    if (!parsed.help && !parsed.version)
        return false;
    QTextStream(stdout) << (parsed.help ? parsed.helpText : parsed.versionText);
    return true;
}

QStringList ArgumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// A wrong option for the window: its reason in the user's language (no display needed for that),
// and status 2.
int RefuseOptions(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const vantor::Translations translations(vantor::Translations::Chosen());
    const vantor::ParsedOptions parsed =
        vantor::ParseConsoleOptions(vantor::WithoutQtOptions(app.arguments()));
    QTextStream(stderr) << "vantor: " << parsed.error << '\n';
    return 2;
}

int RunDesktop(int argc, char* argv[]) {
    // Checked before QApplication opens the window system: a wrong option ends the program with
    // status 2 and its reason, with a display or without. Qt's own options are left to Qt.
    const vantor::ParsedOptions parsed =
        vantor::ParseConsoleOptions(vantor::WithoutQtOptions(ArgumentList(argc, argv)));
    if (!parsed.options)
        return RefuseOptions(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantor"));
    QApplication::setApplicationVersion(QLatin1String(vantor::kVersion));
    // Lets the desktop match the window to the installed vantor.desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vantor"));
    vantor::TimerProbe::StartFromEnvironment(&app);
    // Before any window, so that every text and every standard dialog comes up in one language.
    const vantor::Translations translations(vantor::Translations::Chosen());
    vantor::GuiLauncher launcher(*parsed.options);
    if (!launcher.Start(!app.arguments().contains(QStringLiteral("--no-splash"))))
        return 1;
    // The link thread never blocks (the TCP connect is asynchronous), so the orderly stop of the
    // link and the port after the window closes takes no noticeable time.
    return app.exec();
}

// Qt's options are those a QApplication takes; the minimal platform lists them without a
// display.
[[noreturn]] void PrintHelpAll(char* program) {
    qputenv("QT_QPA_PLATFORM", "minimal");
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    const vantor::Translations translations(vantor::Translations::Chosen());
    vantor::PrintHelpWithQtOptions();
}

bool HasArgument(int argc, char* argv[], std::initializer_list<std::string_view> names) {
    for (int i = 1; i < argc; ++i)
        if (std::find(names.begin(), names.end(), std::string_view(argv[i])) != names.end())
            return true;
    return false;
}

// The console mode, and the options that only print a text, run without a display.
bool WantsConsole(int argc, char* argv[]) {
    return HasArgument(argc, argv, {"--console", "--help", "-h", "--version", "-v"});
}

} // namespace

int main(int argc, char* argv[]) {
    if (HasArgument(argc, argv, {"--help-all"}))
        PrintHelpAll(argv[0]);
    if (!WantsConsole(argc, argv))
        return RunDesktop(argc, argv);
    // Without windows the console needs no GLib main loop; Qt's own one costs less for every
    // socket event, which counts when polling as fast as the device answers.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    QCoreApplication::setApplicationVersion(QLatin1String(vantor::kVersion));
    QTextStream err(stderr);
    const vantor::Translations translations(vantor::Translations::Chosen());

    const vantor::ParsedOptions parsed = vantor::ParseConsoleOptions(app.arguments());
    if (PrintedInfo(parsed))
        return 0;
    if (!parsed.options) {
        err << "vantor: " << parsed.error << '\n';
        return 2;
    }
    vantor::ConsoleOptions options = *parsed.options;
    vantor::DemoDevice device;
    if (options.demo && !device.Start(options)) {
        err << QCoreApplication::translate("vantor::DemoDevice", "无法启动模拟设备：%1")
                   .arg(device.errorString())
            << '\n';
        return 1;
    }

    vantor::ConsoleRunner runner(options, stdout, err);
    QObject::connect(&runner, &vantor::ConsoleRunner::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    FinishOnInterrupt(runner);
    runner.Start();
    return app.exec();
}
