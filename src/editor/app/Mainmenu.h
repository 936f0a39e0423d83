#pragma once

#include <QList>

class QAction;
class QMenu;
class QMenuBar;

namespace vesk {

// The main window's menu bar: every menu and item with its caption and
// shortcut. The window connects the items to its commands. Items whose
// dialogs do not exist yet are present and stay disabled.
class TMainMenu {
public:
    explicit TMainMenu(QMenuBar* bar);

    // Menus and items that need a document; disabled while the window is built.
    QList<QAction*> DocumentMenus() const;
    // Items shown but not offered yet.
    QList<QAction*> UnavailableItems() const;

    QMenu* fileMenu;
    QAction* newItem;
    QAction* openItem;
    QAction* overWriteItem;
    QAction* saveAsItem;
    QMenu* importMenu;
    QAction* veskImportItem;
    QMenu* exportMenu;
    QAction* gerberExportItem;
    QAction* printItem;
    QAction* closeItem;

    QMenu* editMenu;
    QAction* undoItem;
    QAction* redoItem;
    QAction* fitItem;
    QAction* fitSelectionItem;
    QAction* cutItem;
    QAction* copyItem;
    QAction* pasteItem;

    QMenu* objectMenu;
    QAction* layerSwapItem;
    QAction* drcItem;

    QMenu* configMenu;
    QAction* showGridItem;
    QAction* snapItem;
    QAction* workAreaItem;
    QAction* autoSaveItem;

    QMenu* windowMenu;
    QAction* toolWindowItem;
    QAction* layerWindowItem;
    QAction* objectEditorItem;

    QMenu* helpMenu;
    QAction* versionItem;
};

} // namespace vesk
