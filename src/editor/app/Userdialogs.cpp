#include "Userdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vesk {

TUserDialogs::~TUserDialogs() = default;

QStringList ToNameFilters(const QString& barFilter)
{
    const QStringList parts = barFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters;
}

TSaveAnswer TWidgetDialogs::AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return TSaveAnswer::Yes;
    if (box.clickedButton() == no)
        return TSaveAnswer::No;
    return TSaveAnswer::Cancel;
}

TRecoveryAnswer TUserDialogs::AskRecovery(QWidget*, const QString&)
{
    return TRecoveryAnswer::Later;
}

TRecoveryAnswer TWidgetDialogs::AskRecovery(QWidget* parent, const QString& recoveryPath)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("自動保存"),
        QStringLiteral("自動保存されたデータがあります。復元しますか?"), QMessageBox::NoButton, parent);
    box.setInformativeText(QDir::toNativeSeparators(recoveryPath));
    QPushButton* restore = box.addButton(QStringLiteral("復元"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("破棄"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("後で"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == restore)
        return TRecoveryAnswer::Restore;
    if (box.clickedButton() == discard)
        return TRecoveryAnswer::Discard;
    return TRecoveryAnswer::Later;
}

void TWidgetDialogs::ShowError(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

namespace {
QString runFileDialog(QWidget* parent, const TFileDialogOptions& options, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = ToNameFilters(options.filter);
    dialog.setNameFilters(filters);
    if (options.filterIndex >= 1 && options.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[options.filterIndex - 1]);
    if (!options.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(options.defaultExtension);
    if (!options.directory.isEmpty())
        dialog.setDirectory(options.directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

QString TWidgetDialogs::GetOpenFileName(QWidget* parent, const TFileDialogOptions& options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptOpen);
}

QString TWidgetDialogs::GetSaveFileName(QWidget* parent, const TFileDialogOptions& options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptSave);
}

QString TWidgetDialogs::GetExistingDirectory(QWidget* parent, const QString& caption, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

void TWidgetDialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace vesk
