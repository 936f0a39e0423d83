#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vesk {

class TEditorContext;
class TVeskGroup;
class TVeskLayerList;
class TVeskPartArtwork;

// The library window "LibraryForm": the tree of the library folder (each
// folder's subfolders first, then its part files, in one stable name order,
// hidden entries left out, whole names shown; refilled on each opening with
// the folders left open and the part left chosen) and a preview of the part last clicked, drawn at
// one pixel per document unit with the part's origin in the middle of the
// box. The library tool shows it modally for each insertion; OK hands the
// loaded part over. A file that cannot be read leaves nothing loaded and
// says so in the preview. The placement is kept in the "LibraryWindow"
// section of the settings file: read when created, written when destroyed.
class TLibraryForm : public QDialog {
    Q_OBJECT
public:
    explicit TLibraryForm(TEditorContext& context, QWidget* parent = nullptr);
    ~TLibraryForm() override;

    // Fills the tree afresh (parts saved into the folder meanwhile show up)
    // and shows the window modally; true when closed with OK.
    bool Choose();
    // The part the last click on a file loaded, or null. It lies on the
    // file's own layers: loading it leaves the document alone.
    const TVeskGroup* LoadedPart() const;
    // A copy of the loaded part on the layers of `into` (adding those it
    // lacks), or null when none is loaded.
    std::unique_ptr<TVeskGroup> PlaceLoadedPart(TVeskLayerList& into) const;
    // Forgets the loaded part and clears the preview.
    void ResetLibrary();
    // The tree of the library folder afresh, open and chosen as before; the
    // chosen part is loaded again when it was forgotten with the document.
    void FillTree();
    // A file node loads its part, replacing the one loaded before even when
    // it cannot be read; a folder node changes nothing.
    void LibraryTreeClick(QTreeWidgetItem* node);
    // The message the preview shows instead of a part, or empty.
    const QString& PreviewMessage() const { return previewMessage; }

    QLabel* libraryLabel = nullptr;
    QTreeWidget* libraryTree = nullptr;
    QLabel* previewLabel = nullptr;
    QWidget* previewBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillFolder(QTreeWidgetItem* node, const QString& folder, int depth, QStringList& visited);
    void paintPreview();

    TEditorContext& context_;
    std::unique_ptr<TVeskPartArtwork> loadedPart;
    QString previewMessage;
};

} // namespace vesk
