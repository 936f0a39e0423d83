#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vesk {

enum class TSaveAnswer { Yes, No, Cancel };
// The buttons of the recovery question: 復元, 破棄, 後で.
enum class TRecoveryAnswer { Restore, Discard, Later };

// What a file dialog offers. The filter is written as pairs of description
// and pattern separated by bars, "Vesk2.0 files|*.vbf|All files|*.*";
// filterIndex counts from 1.
struct TFileDialogOptions {
    QString filter;
    int filterIndex = 1;
    QString defaultExtension;
    QString directory;
};

// Every question and message the editor puts to the user, and the file
// dialogs, go through this interface so that tests can answer them. The
// editor's own implementation shows real dialogs.
class TUserDialogs {
public:
    virtual ~TUserDialogs();

    // Yes, No or Cancel; closing the box counts as Cancel.
    virtual TSaveAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
    virtual void ShowError(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The chosen path, or an empty string when the user cancels.
    virtual QString GetOpenFileName(QWidget* parent, const TFileDialogOptions& options) = 0;
    // As above; the default extension is added to a name that has none, and
    // replacing an existing file is confirmed first.
    virtual QString GetSaveFileName(QWidget* parent, const TFileDialogOptions& options) = 0;
    // A folder, or an empty string when the user cancels.
    virtual QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& start) = 0;
    // A report that needs no answer.
    virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Whether to restore the autosaved work in `recoveryPath`; Later unless
    // asked through a real dialog.
    virtual TRecoveryAnswer AskRecovery(QWidget* parent, const QString& recoveryPath);
};

// The editor's dialogs: message boxes with Japanese buttons and Qt's file dialogs.
class TWidgetDialogs : public TUserDialogs {
public:
    TSaveAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override;
    void ShowError(QWidget* parent, const QString& caption, const QString& text) override;
    QString GetOpenFileName(QWidget* parent, const TFileDialogOptions& options) override;
    QString GetSaveFileName(QWidget* parent, const TFileDialogOptions& options) override;
    QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& start) override;
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override;
    TRecoveryAnswer AskRecovery(QWidget* parent, const QString& recoveryPath) override;
};

// "Vesk2.0 files|*.vbf|All files|*.*" as Qt name filters:
// "Vesk2.0 files (*.vbf)", "All files (*)". A trailing odd entry is dropped.
QStringList ToNameFilters(const QString& barFilter);

} // namespace vesk
