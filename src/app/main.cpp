#include "app/DravikApp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dravik"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setDesktopFileName(QStringLiteral("dravik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dravik.xpm")));
    CDravikApp theApp;
    if (!theApp.InitInstance(QApplication::arguments()))
        return 0;
    return app.exec();
}
