#include "Valuelisteditor.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace vesk {

TValueListEditor::TValueListEditor(const QString& keyTitle, const QString& valueTitle, QWidget* parent)
    : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({ keyTitle, valueTitle });
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(0, 150);
    setSelectionMode(QAbstractItemView::NoSelection);
}

void TValueListEditor::ClearRows()
{
    setRowCount(0);
}

void TValueListEditor::AddRow(const QString& key, const QString& value, const QStringList& picks)
{
    const int row = rowCount();
    insertRow(row);
    auto* keyItem = new QTableWidgetItem(key);
    keyItem->setFlags(Qt::ItemIsEnabled);
    setItem(row, 0, keyItem);
    auto* choice = new QComboBox(this);
    choice->setEditable(true);
    choice->setInsertPolicy(QComboBox::NoInsert);
    choice->addItems(picks);
    choice->setCurrentText(value);
    setCellWidget(row, 1, choice);
}

QString TValueListEditor::Key(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->text() : QString();
}

QString TValueListEditor::Value(int row) const
{
    const auto* choice = qobject_cast<const QComboBox*>(cellWidget(row, 1));
    return choice ? choice->currentText() : QString();
}

void TValueListEditor::SetValue(int row, const QString& value)
{
    if (auto* choice = qobject_cast<QComboBox*>(cellWidget(row, 1)))
        choice->setCurrentText(value);
}

TValueListEditor* TValueListEditor::BuildDialog(QDialog& dialog, const QString& groupTitle,
    const QString& keyTitle, const QString& valueTitle, std::function<void()> onOk)
{
    auto* group = new QGroupBox(groupTitle, &dialog);
    auto* editor = new TValueListEditor(keyTitle, valueTitle, group);
    auto* groupBox = new QVBoxLayout(group);
    groupBox->addWidget(editor);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(&dialog);
    all->addWidget(group, 1);
    all->addLayout(buttons);
    return editor;
}

} // namespace vesk
