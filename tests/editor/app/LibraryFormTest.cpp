// The library window on the real main window: the tree of a library folder
// made by the test, loading by clicks on files, the preview at one pixel
// per document unit, an unreadable file said so, the window's size, keys
// and placement, and the loaded part forgotten with the document.
#include "app/Libraryform.h"

#include "PartFixtures.h"
#include "app/Settingsfile.h"
#include "shapes/Veskgroup.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace vesk;
using namespace vesk::test;

namespace {

class LibraryFormTest : public PartFolderFixture {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WritePartFile(libFile("IC/DIP-14.vbf"), Dip8());
        WritePartFile(libFile("IC/DIP-8.vbf"), Dip8());
        WritePartFile(libFile("Capacitors/C1.vbf"), { { "component", { 0, 0 }, 16 } });
        WritePartFile(libFile(".hidden/X.vbf"), { { "component", { 0, 0 }, 16 } });
        ASSERT_TRUE(QDir().mkpath(libFile("connectors")));
        WritePartFile(libFile("R0603.vbf"), { { "component", { 0, 0 }, 16 } });
        WritePartFile(libFile("big.vbf"), { { "component", { 0, 0 }, 400 } });
        WritePartFile(libFile(".secret.vbf"), { { "component", { 0, 0 }, 16 } });
        WriteBytes(libFile("broken.vbf"), QByteArray("Vesk2.0\0garbage", 15));
        WriteBytes(libFile("readme.txt"), QByteArray("not a part"));
        startWith(QByteArray());
        library().show();
        ASSERT_TRUE(WaitFor([&] { return library().isVisible(); }));
        library().libraryTree->expandAll();
        QApplication::processEvents();
    }

    TLibraryForm& library() { return form->LibraryForm(); }

    // The node at a path of node texts below "lib" ("" for "lib" itself).
    QTreeWidgetItem* node(const QString& path)
    {
        QTreeWidgetItem* at = library().libraryTree->topLevelItem(0);
        for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; at && i < at->childCount(); ++i)
                if (at->child(i)->text(0) == part)
                    next = at->child(i);
            at = next;
        }
        return at;
    }

    void click(const QString& path)
    {
        QTreeWidgetItem* item = node(path);
        ASSERT_NE(item, nullptr) << path.toStdString();
        QTreeWidget* tree = library().libraryTree;
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }

    QImage preview()
    {
        QApplication::processEvents();
        return library().previewBox->grab().toImage();
    }
};

void flatten(const QTreeWidgetItem* item, int depth, QStringList& out)
{
    out << QString(depth * 2, u' ') + item->text(0);
    for (int i = 0; i < item->childCount(); ++i)
        flatten(item->child(i), depth + 1, out);
}

TEST_F(LibraryFormTest, TreeListsFoldersFirstInNameOrderWithoutHiddenEntries)
{
    QStringList shown;
    ASSERT_EQ(library().libraryTree->topLevelItemCount(), 1);
    flatten(library().libraryTree->topLevelItem(0), 0, shown);
    const QStringList expected { QStringLiteral("lib"), QStringLiteral("  Capacitors"),
        QStringLiteral("    C1.vbf"), QStringLiteral("  connectors"), QStringLiteral("  IC"),
        QStringLiteral("    DIP-8.vbf"), QStringLiteral("    DIP-14.vbf"), QStringLiteral("  big.vbf"),
        QStringLiteral("  broken.vbf"), QStringLiteral("  R0603.vbf") };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(library().windowTitle(), QStringLiteral("LibraryForm"));
    EXPECT_EQ(library().libraryLabel->text(), QStringLiteral("ライブラリ"));
    EXPECT_EQ(library().previewLabel->text(), QStringLiteral("プレビュー"));
}

TEST_F(LibraryFormTest, ClicksOnFilesLoadAndClicksOnFoldersChangeNothing)
{
    const struct {
        const char* click;
        int loadedChildren; // -1: nothing loaded
        bool samePartAsBefore;
        const char* message;
    } steps[] = {
        { "IC/DIP-8.vbf", 8, false, "" },
        { "IC", 8, true, "" },
        { "connectors", 8, true, "" },
        { "", 8, true, "" },
        { "broken.vbf", -1, false, "読み込めません: broken.vbf" },
        { "Capacitors", -1, true, "読み込めません: broken.vbf" },
        { "R0603.vbf", 1, false, "" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.click);
        const TVeskGroup* before = library().LoadedPart();
        click(QString::fromUtf8(step.click));
        const TVeskGroup* loaded = library().LoadedPart();
        EXPECT_EQ(loaded ? loaded->ChildCount() : -1, step.loadedChildren);
        if (step.samePartAsBefore) {
            EXPECT_EQ(loaded, before);
        }
        EXPECT_EQ(library().PreviewMessage(), QString::fromUtf8(step.message));
    }
}

TEST_F(LibraryFormTest, PreviewDrawsThePartAtOnePixelPerUnitAroundTheMiddle)
{
    const QColor background = QColor::fromRgba(context->DrawStyle().backgroundColor);
    // "component" is green, drawn translucent over the background.
    auto isLayerGreen = [](QRgb p) { return qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 40; };

    QImage empty = preview();
    EXPECT_EQ(empty.pixelColor(empty.width() / 2, empty.height() / 2), background);

    // A 16-unit square about the origin: 16 pixels wide in the middle.
    click(QStringLiteral("R0603.vbf"));
    QImage small = preview();
    const int cx = small.width() / 2, cy = small.height() / 2;
    EXPECT_TRUE(isLayerGreen(small.pixel(cx, cy)));
    EXPECT_TRUE(isLayerGreen(small.pixel(cx + 6, cy - 6)));
    EXPECT_EQ(small.pixelColor(cx + 11, cy), background);
    EXPECT_EQ(small.pixelColor(cx, cy - 11), background);

    // Larger than the box: clipped, not fitted, so it covers every pixel.
    click(QStringLiteral("big.vbf"));
    QImage big = preview();
    for (const QPoint corner : { QPoint(0, 0), QPoint(big.width() - 1, 0), QPoint(0, big.height() - 1),
             QPoint(big.width() - 1, big.height() - 1) })
        EXPECT_TRUE(isLayerGreen(big.pixel(corner))) << corner.x() << "," << corner.y();

    // An unreadable file leaves the box with its message, not the old part.
    click(QStringLiteral("broken.vbf"));
    QImage message = preview();
    bool anyGreen = false, anyText = false;
    for (int y = 0; y < message.height(); ++y)
        for (int x = 0; x < message.width(); ++x) {
            anyGreen = anyGreen || isLayerGreen(message.pixel(x, y));
            anyText = anyText || qGray(message.pixel(x, y)) < 100;
        }
    EXPECT_FALSE(anyGreen);
    EXPECT_TRUE(anyText);

    library().ResetLibrary();
    EXPECT_EQ(library().LoadedPart(), nullptr);
    EXPECT_TRUE(library().PreviewMessage().isEmpty());
}

TEST_F(LibraryFormTest, KeepsItsMinimumSize)
{
    library().resize(100, 100);
    QApplication::processEvents();
    EXPECT_GE(library().width(), 414);
    EXPECT_GE(library().height(), 328);
}

TEST_F(LibraryFormTest, OkAcceptsWhileCancelAndEscapeDoNot)
{
    library().hide();
    const struct {
        const char* what;
        std::function<void(TLibraryForm&)> close;
        bool accepted;
    } cases[] = {
        { "OK", [](TLibraryForm& f) { QTest::mouseClick(f.okButton, Qt::LeftButton); }, true },
        { "Cancel", [](TLibraryForm& f) { QTest::mouseClick(f.cancelButton, Qt::LeftButton); }, false },
        { "Escape", [](TLibraryForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool shown = false;
        WhenModal<TLibraryForm>([&](TLibraryForm& f) {
            shown = true;
            c.close(f);
        });
        EXPECT_EQ(library().Choose(), c.accepted);
        EXPECT_TRUE(shown);
    }
}

TEST_F(LibraryFormTest, PartsSavedIntoTheFolderShowTheNextTimeItOpens)
{
    WritePartFile(libFile("IC/SOIC-8.vbf"), Dip8());
    library().hide();
    WhenModal<TLibraryForm>([](TLibraryForm& f) { f.reject(); });
    library().Choose();
    EXPECT_NE(node(QStringLiteral("IC/SOIC-8.vbf")), nullptr);
}

// Opened again for the next part, the tree is as the user left it: the same
// folders open, the same part chosen and loaded, even after a new document
// forgot it.
TEST_F(LibraryFormTest, OpensAgainWithTheFoldersAndThePartTheUserLeft)
{
    QTreeWidget* tree = library().libraryTree;
    tree->collapseAll();
    node(QString())->setExpanded(true);
    node(QStringLiteral("IC"))->setExpanded(true);
    click(QStringLiteral("IC/DIP-8.vbf"));
    library().hide();
    form->NewMenuClick();
    ASSERT_EQ(library().LoadedPart(), nullptr);

    WhenModal<TLibraryForm>([](TLibraryForm& f) { f.reject(); });
    library().Choose();
    EXPECT_TRUE(node(QString())->isExpanded());
    EXPECT_TRUE(node(QStringLiteral("IC"))->isExpanded());
    EXPECT_FALSE(node(QStringLiteral("Capacitors"))->isExpanded());
    EXPECT_EQ(tree->currentItem(), node(QStringLiteral("IC/DIP-8.vbf")));
    ASSERT_NE(library().LoadedPart(), nullptr);
    EXPECT_EQ(library().LoadedPart()->ChildCount(), 8);

    // A folder closed by the user stays closed, the root included.
    node(QString())->setExpanded(false);
    WhenModal<TLibraryForm>([](TLibraryForm& f) { f.reject(); });
    library().Choose();
    EXPECT_FALSE(node(QString())->isExpanded());
}

TEST_F(LibraryFormTest, NamesAreShownWhole)
{
    WritePartFile(libFile("Mounting/MountingHole_M2.5_NPTH.vbf"), { { "component", { 0, 0 }, 16 } });
    library().hide();
    WhenModal<TLibraryForm>([](TLibraryForm& f) { f.reject(); });
    library().Choose();
    QTreeWidget* tree = library().libraryTree;
    QTreeWidgetItem* item = node(QStringLiteral("Mounting/MountingHole_M2.5_NPTH.vbf"));
    ASSERT_NE(item, nullptr);
    node(QStringLiteral("Mounting"))->setExpanded(true);
    library().show();
    QApplication::processEvents();
    EXPECT_EQ(tree->textElideMode(), Qt::ElideNone);
    // The column is as wide as the name at its depth, scrolled rather than cut.
    const int needed = 2 * tree->indentation() + tree->fontMetrics().horizontalAdvance(item->text(0));
    EXPECT_GE(tree->columnWidth(0), needed);
    library().resize(library().minimumSize());
    QApplication::processEvents();
    EXPECT_GE(tree->columnWidth(0), needed);
}

TEST_F(LibraryFormTest, PlacementComesFromAndGoesBackToTheSettingsFile)
{
    startWith("[LibraryWindow]\r\nTop=140\r\nLeft=150\r\nWidth=500\r\nHeight=400\r\n");
    EXPECT_EQ(library().size(), QSize(500, 400));
    library().resize(520, 410);
    form.reset();
    const TSettingsFile file(ini());
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LibraryWindow"), QStringLiteral("Width"), 0), 520);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LibraryWindow"), QStringLiteral("Height"), 0), 410);
}

TEST_F(LibraryFormTest, NewAndOpenForgetTheLoadedPart)
{
    const QString saved = temp("saved.vbf");
    ASSERT_TRUE(document().Write(saved).ok);
    const struct {
        const char* what;
        std::function<void()> command;
    } cases[] = {
        { "new", [&] { form->NewMenuClick(); } },
        { "open",
            [&] {
                dialogs->openName = saved;
                form->OpenMenuClick();
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        click(QStringLiteral("IC/DIP-8.vbf"));
        ASSERT_NE(library().LoadedPart(), nullptr);
        c.command();
        EXPECT_EQ(library().LoadedPart(), nullptr);
    }
}

} // namespace
