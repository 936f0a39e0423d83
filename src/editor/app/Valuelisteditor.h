#pragma once

#include <QStringList>
#include <QTableWidget>

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
};

} // namespace vesk
