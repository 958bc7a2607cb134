// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/DravikApp.h"
#include "audio/PulseWaveOut.h"
#include "settings/Settings.h"
#include "winui/BlinkTimeout.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <unistd.h>

// Qt ends the program when no window system can be reached, with a text
// that suggests reinstalling it; say what is missing instead.
static void NoDisplayHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fputs("dravik: 画面 (X11 または Wayland のディスプレイ) に接続できないため起動できません。\n"
                   "dravik: cannot start: no display (X11 or Wayland) can be reached.\n",
                   stderr);
        ::_exit(1);
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char** argv)
{
    // --help and --version need no display.
    const CommandLineAction action = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (action.bExit) {
        std::fputs(action.sText.c_str(), action.nExitCode == 0 ? stdout : stderr);
        return action.nExitCode;
    }
    const QtMessageHandler previous = qInstallMessageHandler(NoDisplayHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    // Qt's own texts (file dialog, context menus, box buttons) in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    QApplication::setApplicationName(QStringLiteral("Dravik"));
    QApplication::setOrganizationName(ProfileOrganization());
    QApplication::setDesktopFileName(QStringLiteral("org.dravik.dravik"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/dravik-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    SetWaveOutFactory(&OpenSoundDevice);
    // The cursor rests after 10 s without input: an idle program sleeps.
    CBlinkTimeout blink;
    CDravikApp theApp;
    if (!theApp.InitInstance(QApplication::arguments()))
        return 0;
    return app.exec();
}
