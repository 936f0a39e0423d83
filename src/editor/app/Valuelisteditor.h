#pragma once

#include <QStringList>
#include <QTableWidget>
#include <functional>

class QDialog;

namespace vesk {

// Two columns of rows, a fixed key and a value chosen from a drop-down list
// or typed: the layer mapping of the import dialog and the layer swap
// dialog.
class TValueListEditor : public QTableWidget {
    Q_OBJECT
public:
    TValueListEditor(const QString& keyTitle, const QString& valueTitle, QWidget* parent = nullptr);

    void ClearRows();
    void AddRow(const QString& key, const QString& value, const QStringList& picks);
    QString Key(int row) const;
    QString Value(int row) const;
    void SetValue(int row, const QString& value);

    // Lays a mapping dialog out: the editor in a titled group box above OK
    // (default, calling onOk) and Cancel (rejecting). Returns the editor.
    static TValueListEditor* BuildDialog(QDialog& dialog, const QString& groupTitle, const QString& keyTitle,
        const QString& valueTitle, std::function<void()> onOk);
};

} // namespace vesk
