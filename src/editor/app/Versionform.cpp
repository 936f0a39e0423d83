#include "Versionform.h"

#include "Programicon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace vesk {

TVersionForm::TVersionForm(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);
    setFixedSize(228, 71);

    auto* icon = new QLabel(this);
    icon->setGeometry(24, 16, 33, 33);
    icon->setPixmap(ProgramPixmap(33, devicePixelRatioF()));

    versionLabel = new QLabel(QStringLiteral("Vesk2.0 Version " VESK_VERSION), this);
    QFont larger = tahoma;
    larger.setPixelSize(13);
    versionLabel->setFont(larger);
    versionLabel->move(64, 16);
    versionLabel->adjustSize();

    auto* note = new QLabel(QStringLiteral("for Linux / Qt 6"), this);
    note->move(104, 40);
    note->adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + s.width() / 2 - width() / 2, s.y() + s.height() / 2 - height() / 2);
    }
}

} // namespace vesk
