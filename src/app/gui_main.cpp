#include "gui/Form1.h"
#include "gui/FrmLang.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VORN"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN"));
    vorn::chooseLanguageAtStart();
    vorn::Form1 window;
    if (!window.startUp())
        return 0;
    window.show();
    return app.exec();
}
