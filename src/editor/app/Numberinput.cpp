#include "Numberinput.h"

#include "Settingsfile.h"

#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QToolTip>
#include <cmath>

namespace vesk {

namespace {
const char* const kRefusedProperty = "refused";
const QColor kRefusedBase(255, 214, 214);
} // namespace

bool ReadTypedNumber(const QString& text, double* out)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = trimmed.toDouble(&ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

void MarkRefused(QLineEdit& edit, const QString& reason)
{
    const bool refused = !reason.isEmpty();
    if (IsMarkedRefused(edit) == refused && edit.toolTip() == reason)
        return;
    edit.setProperty(kRefusedProperty, refused);
    edit.setToolTip(reason);
    QPalette palette = edit.parentWidget() ? edit.parentWidget()->palette() : QPalette();
    if (refused)
        palette.setColor(QPalette::Base, kRefusedBase);
    edit.setPalette(palette);
}

bool IsMarkedRefused(const QLineEdit& edit)
{
    return edit.property(kRefusedProperty).toBool();
}

void RefuseInput(QLineEdit& edit, const QString& reason)
{
    MarkRefused(edit, reason);
    edit.setFocus();
    edit.selectAll();
    QToolTip::showText(edit.mapToGlobal(QPoint(0, edit.height())), reason, &edit);
}

QString DisplayNumber(double value)
{
    return QString::number(value, 'g', 6);
}

bool TakePreset(const QListWidget& list, QLineEdit& edit)
{
    const QListWidgetItem* item = list.currentItem();
    if (!item)
        return false;
    edit.setText(item->text());
    edit.setModified(true);
    return true;
}

void FillPresetList(QListWidget& list, const TSettingsFile& file, const QString& section,
    const QString& prefix, const std::vector<double>& fallback)
{
    list.clear();
    std::vector<double> values = file.ReadRealList(section, prefix);
    if (values.empty())
        values = fallback;
    for (double value : values)
        list.addItem(QString::number(value, 'g', 15));
}

QString CoordinateText(double documentUnits, double gridPitch)
{
    // The places the pitch in millimetres has, from two up to four.
    const double pitch = std::fabs(gridPitch) * 0.1;
    int decimals = 2;
    for (double scale = 100.0; decimals < 4; ++decimals, scale *= 10.0)
        if (std::isfinite(pitch) && std::fabs(pitch * scale - std::round(pitch * scale)) < 1e-6 * scale)
            break;
    QString text = QString::number(documentUnits * 0.1, 'f', decimals);
    // A point a hair left of the origin is at the origin, not at "-0.00".
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - 2)
        text.remove(0, 1);
    return text + QStringLiteral(" mm");
}

} // namespace vesk
