#include "Mainmenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace vesk {

namespace {
QAction* item(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    return action;
}

QAction* checkItem(QMenu* menu, const QString& caption)
{
    QAction* action = item(menu, caption);
    action->setCheckable(true);
    return action;
}
} // namespace

TMainMenu::TMainMenu(QMenuBar* bar)
{
    fileMenu = bar->addMenu(QStringLiteral("ファイル"));
    newItem = item(fileMenu, QStringLiteral("新規作成"), QKeySequence(Qt::CTRL | Qt::Key_N));
    openItem = item(fileMenu, QStringLiteral("開く"), QKeySequence(Qt::CTRL | Qt::Key_O));
    overWriteItem = item(fileMenu, QStringLiteral("上書き保存"), QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAsItem = item(fileMenu, QStringLiteral("名前を付けて保存"));
    fileMenu->addSeparator();
    importMenu = fileMenu->addMenu(QStringLiteral("インポート"));
    veskImportItem = item(importMenu, QStringLiteral("VESKファイル"));
    exportMenu = fileMenu->addMenu(QStringLiteral("エクスポート"));
    gerberExportItem = item(exportMenu, QStringLiteral("ガーバファイル"));
    fileMenu->addSeparator();
    printItem = item(fileMenu, QStringLiteral("印刷"), QKeySequence(Qt::CTRL | Qt::Key_P));
    fileMenu->addSeparator();
    closeItem = item(fileMenu, QStringLiteral("閉じる"));

    editMenu = bar->addMenu(QStringLiteral("編集"));
    undoItem = item(editMenu, QStringLiteral("取り消し"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoItem = item(editMenu, QStringLiteral("やり直し"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    fitItem = item(editMenu, QStringLiteral("全体表示"), QKeySequence(Qt::Key_Home));
    fitSelectionItem
        = item(editMenu, QStringLiteral("選択範囲を表示"), QKeySequence(Qt::SHIFT | Qt::Key_Home));
    editMenu->addSeparator();
    cutItem = item(editMenu, QStringLiteral("切り取り"), QKeySequence(Qt::CTRL | Qt::Key_X));
    copyItem = item(editMenu, QStringLiteral("コピー"), QKeySequence(Qt::CTRL | Qt::Key_C));
    pasteItem = item(editMenu, QStringLiteral("貼り付け"), QKeySequence(Qt::CTRL | Qt::Key_V));

    objectMenu = bar->addMenu(QStringLiteral("オブジェクト"));
    layerSwapItem = item(objectMenu, QStringLiteral("レイヤーの入れ替え"));
    drcItem = item(objectMenu, QStringLiteral("デザインルールチェック"));

    configMenu = bar->addMenu(QStringLiteral("設定"));
    showGridItem = checkItem(configMenu, QStringLiteral("グリッドを表示する"));
    snapItem = checkItem(configMenu, QStringLiteral("グリッドにスナップする"));
    configMenu->addSeparator();
    workAreaItem = item(configMenu, QStringLiteral("図面の設定"));
    autoSaveItem = item(configMenu, QStringLiteral("自動保存"));

    windowMenu = bar->addMenu(QStringLiteral("ウインドウ"));
    toolWindowItem = checkItem(windowMenu, QStringLiteral("ツール"));
    layerWindowItem = checkItem(windowMenu, QStringLiteral("レイヤー"));
    objectEditorItem = checkItem(windowMenu, QStringLiteral("描画スタイル"));

    helpMenu = bar->addMenu(QStringLiteral("ヘルプ"));
    versionItem = item(helpMenu, QStringLiteral("バージョン情報"));

    for (QAction* action : UnavailableItems())
        action->setEnabled(false);
}

QList<QAction*> TMainMenu::DocumentMenus() const
{
    return { saveAsItem, configMenu->menuAction(), editMenu->menuAction(), overWriteItem, snapItem,
        showGridItem, printItem, exportMenu->menuAction(), importMenu->menuAction(),
        objectMenu->menuAction() };
}

QList<QAction*> TMainMenu::UnavailableItems() const
{
    return {};
}

} // namespace vesk
