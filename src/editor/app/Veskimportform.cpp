#include "Veskimportform.h"

#include "Mainform.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Userdialogs.h"
#include "Valuelisteditor.h"
#include "Veskcommand.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Windowplacement.h"
#include "shapes/Veskpart.h"

namespace vesk {

TVeskImportForm::TVeskImportForm(
    TVeskForm& mainForm, TUserDialogs& dialogs, QString settingsFileName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainForm_(mainForm)
    , dialogs_(dialogs)
    , settingsFileName_(std::move(settingsFileName))
{
    setWindowTitle(QStringLiteral("VESKファイルのインポート"));
    layerList_ = TValueListEditor::BuildDialog(*this, QStringLiteral("レイヤーの設定"),
        QStringLiteral("入力元のレイヤー"), QStringLiteral("出力先のレイヤー"), [this] { OKButtonClick(); });

    const TSettingsFile file(settingsFileName_);
    RestoreDialogPlacement(*this, file, settings::kVeskImportWindow);
    const QString section = settings::kVeskImportWindow.Name();
    mapping_.LoadDestinations([&](const QString& key) -> std::optional<QString> {
        if (!file.ValueExists(section, key))
            return std::nullopt;
        return file.ReadString(section, key, QString());
    });
}

TVeskImportForm::~TVeskImportForm()
{
    TSettingsFile file(settingsFileName_);
    WritePlacement(file, settings::kVeskImportWindow, CapturePlacement(*this));
    const QString section = settings::kVeskImportWindow.Name();
    mapping_.SaveDestinations(
        [&](const QString& key, const QString& value) { file.WriteString(section, key, value); });
    file.UpdateFile();
}

int TVeskImportForm::OpenAndShow(const QString& fileName)
{
    if (!mapping_.Open(fileName) || mapping_.RowCount() == 0) {
        mapping_.Cancel();
        dialogs_.ShowError(&mainForm_, QStringLiteral("インポートエラー"),
            QStringLiteral("このファイルは読めませんでした。VESKファイルではないか、壊れているようです。\n")
                + fileName);
        return QDialog::Rejected;
    }
    mapping_.DefaultDestinations(mainForm_.Document().Layers());
    FormShow();
    return exec();
}

void TVeskImportForm::FormShow()
{
    layerList_->ClearRows();
    const QStringList picks = TVeskImportMapping::PickList(mainForm_.Document().Layers());
    for (int i = 0; i < mapping_.RowCount(); ++i)
        layerList_->AddRow(mapping_.SourceNames()[i], mapping_.Destination(i), picks);
}

void TVeskImportForm::OKButtonClick()
{
    for (int i = 0; i < mapping_.RowCount(); ++i)
        mapping_.SetDestination(i, layerList_->Value(i));
    TVeskCommand import(mainForm_.ToolBar(), QStringLiteral("インポート"));
    TVeskDocument& document = mainForm_.Document();
    if (!mapping_.Import(document.Layers(), document.Root()))
        mainForm_.ShowMessage(
            QStringLiteral("インポート: 出力先のレイヤーに入ったオブジェクトはありません。"));
    import.Commit();
    accept();
}

void TVeskImportForm::reject()
{
    mapping_.Cancel();
    QDialog::reject();
}

} // namespace vesk
