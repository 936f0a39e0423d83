#include "app/Mainform.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesk2.0"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vesk2.0"));
    vesk::TMainForm window;
    window.show();
    return QApplication::exec();
}
