// The layer window and the layer edit dialog on the real main window,
// driven by mouse and keys: the press zones of a row, dragging one layer
// onto another, the dialog's buttons and keys, what reaches the saved
// layer table and the save prompt, and the drawing following a layer's look.
#include "app/Layerwindow.h"

#include "ToolWindowFixture.h"
#include "Veskview.h"
#include "app/Drawingview.h"
#include "app/Layeredit.h"
#include "app/Layerrow.h"
#include "app/Mainmenu.h"
#include "app/Numberinput.h"
#include "app/Objecteditor.h"
#include "app/Settingsfile.h"
#include "io/Veskfilestream.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace vesk;
using vesk::test::WhenModal;

namespace {

// A row's press point at this x, halfway down.
QPoint at(int x)
{
    return { x, TLayerRow::RowHeight / 2 };
}

constexpr int kNameX = 60;

struct LayerLook {
    QString name;
    ARGB color;
    bool mask;
    bool wireFrame;
    bool operator==(const LayerLook&) const = default;
};

LayerLook lookOf(const TVeskLayer& layer)
{
    return { layer.Name(), layer.opaqueColor, layer.mask, layer.wireFrame };
}

std::vector<QString> namesOf(const TVeskLayerList& list)
{
    std::vector<QString> names;
    for (int i = 0; i < list.LayerCount(); ++i)
        names.push_back(list.LayerAt(i)->Name());
    return names;
}

class LayerWindowTest : public vesk::test::ToolWindowFixture {
public:
    TLayerWindow& window() { return form->LayerWindow(); }
    TLayerRow* row(int index) { return window().Row(index); }

    void click(int index, int x) { QTest::mouseClick(row(index), Qt::LeftButton, {}, at(x)); }

    // Press on one row's name, move in steps to `to` (in that row's
    // coordinates) and release there; the drop line of the row under the
    // pointer is noted just before the release. Like a real drag, every
    // event goes to the pressed row.
    TLayerRow::DropLine drag(int from, QPoint to)
    {
        TLayerRow* source = row(from);
        const QPoint start = at(kNameX);
        QTest::mousePress(source, Qt::LeftButton, {}, start);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(source, start + (to - start) * step / 4);
        TLayerRow::DropLine line = TLayerRow::DropLine::None;
        for (int i = 0; i < window().RowCount(); ++i)
            if (row(i)->GetDropLine() != TLayerRow::DropLine::None)
                line = row(i)->GetDropLine();
        QTest::mouseRelease(source, Qt::LeftButton, {}, to);
        return line;
    }
    // The middle of another row, in the coordinates of the dragged one.
    QPoint middleOf(int from, int onto)
    {
        return row(from)->mapFromGlobal(row(onto)->mapToGlobal(at(kNameX)));
    }

    // Double click on the row's name; the editor opens as the button comes up.
    void doubleClick(int index)
    {
        QTest::mousePress(row(index), Qt::LeftButton, {}, at(kNameX));
        QTest::mouseRelease(row(index), Qt::LeftButton, {}, at(kNameX));
        QTest::mouseDClick(row(index), Qt::LeftButton, {}, at(kNameX));
        QTest::mouseRelease(row(index), Qt::LeftButton, {}, at(kNameX));
    }

    // Opens the editor on the row and lets the script work it.
    void editLayer(int index, std::function<void(TLayerEdit&)> script)
    {
        bool ran = false;
        WhenModal<TLayerEdit>([&](TLayerEdit& dialog) {
            ran = true;
            script(dialog);
        });
        doubleClick(index);
        EXPECT_TRUE(ran) << "the editor did not open";
    }

    static void chooseColor(TLayerEdit& dialog, QColor color)
    {
        WhenModal<QColorDialog>([color](QColorDialog& colors) {
            colors.setCurrentColor(color);
            colors.accept();
        });
        QTest::mouseClick(dialog.PalletBox, Qt::LeftButton);
    }

    void freshLayers()
    {
        layers().ResetToDefaults();
        context->History().SetModified(false);
    }
};

TEST_F(LayerWindowTest, OneRowPerLayerAndTheButtonsStayDisabled)
{
    ASSERT_TRUE(window().isVisible());
    EXPECT_EQ(window().RowCount(), 9);
    EXPECT_FALSE(window().ButtonNew->isEnabled());
    EXPECT_FALSE(window().ButtonDel->isEnabled());
    for (int i = 0; i < window().RowCount(); ++i) {
        EXPECT_EQ(row(i)->Layer(), layers().LayerAt(i));
        EXPECT_EQ(row(i)->y(), i * TLayerRow::RowHeight + 1);
    }

    // A document with fewer layers: the rows follow the list.
    TVeskLayerList few;
    few.AddNamedLayer(0xFF112233, QStringLiteral("top"));
    few.AddNamedLayer(0xFF445566, QStringLiteral("bottom"));
    const QString path = temp("two-layers.vbf");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        TVesk_ostream out(file);
        few.WriteLayerTable(out);
        ASSERT_TRUE(out.Flush());
    }
    dialogs->openName = path;
    form->OpenMenuClick();
    EXPECT_EQ(window().RowCount(), 2);
    EXPECT_FALSE(window().ButtonNew->isEnabled());
    EXPECT_FALSE(window().ButtonDel->isEnabled());
    form->NewMenuClick();
    EXPECT_EQ(window().RowCount(), 9);
}

TEST_F(LayerWindowTest, PressZonesShowLockOrSelectWithoutMarkingTheDocument)
{
    const struct {
        int x;
        bool hides;
        bool locks;
        bool selects;
    } cases[] = {
        { 0, true, false, false },
        { 23, true, false, false },
        { 24, false, true, false },
        { 47, false, true, false },
        { 48, false, false, true },
        { 150, false, false, true },
    };
    constexpr int target = 4;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        freshLayers();
        TVeskLayer* layer = layers().LayerAt(target);
        click(target, c.x);
        EXPECT_EQ(layer->visible, !c.hides);
        EXPECT_EQ(layer->locked, c.locks);
        EXPECT_EQ(layers().CurrentLayer() == layer, c.selects);
        EXPECT_FALSE(modified()) << "showing, hiding and locking are not saved";
        click(target, c.x);
        EXPECT_TRUE(layer->visible);
        EXPECT_FALSE(layer->locked);
    }
}

TEST_F(LayerWindowTest, DraggingOntoARowMovesTheLayerThereWithTheLineWhereItLands)
{
    const struct {
        int from;
        int onto;
        TLayerRow::DropLine line;
    } cases[] = {
        { 5, 2, TLayerRow::DropLine::Top },
        { 2, 5, TLayerRow::DropLine::Bottom },
        { 8, 0, TLayerRow::DropLine::Top },
        { 0, 8, TLayerRow::DropLine::Bottom },
        { 3, 4, TLayerRow::DropLine::Bottom },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " onto " << c.onto);
        freshLayers();
        TVeskLayer* moved = layers().LayerAt(c.from);
        EXPECT_EQ(drag(c.from, middleOf(c.from, c.onto)), c.line);
        EXPECT_EQ(layers().LayerAt(c.onto), moved);
        EXPECT_EQ(layers().CurrentLayer(), moved) << "the press chose it";
        EXPECT_TRUE(modified());
        for (int i = 0; i < window().RowCount(); ++i) {
            EXPECT_EQ(row(i)->GetDropLine(), TLayerRow::DropLine::None);
            EXPECT_EQ(row(i)->Layer(), layers().LayerAt(i)) << "rows show the new order";
        }
    }
}

TEST_F(LayerWindowTest, DragsThatEndOffAnotherRowLeaveTheOrder)
{
    const struct {
        const char* what;
        int pressX;
        QPoint to;
    } cases[] = {
        { "moved less than 5 pixels", kNameX, at(kNameX) + QPoint(0, 4) },
        { "dropped on its own row", kNameX, at(kNameX) + QPoint(60, 0) },
        { "dropped below the last row", kNameX, QPoint(kNameX, 20 * TLayerRow::RowHeight) },
        { "dropped outside the window", kNameX, QPoint(-400, -400) },
    };
    constexpr int from = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshLayers();
        const std::vector<QString> before = namesOf(layers());
        drag(from, c.to);
        EXPECT_EQ(namesOf(layers()), before);
        EXPECT_FALSE(modified());
    }
}

TEST_F(LayerWindowTest, EditorAppliesWhatItsButtonsAndKeysSay)
{
    const LayerLook typed { QStringLiteral("部品面"), 0xFF2040E0, true, true };
    enum class Close { OK, Cancel, Escape, EnterInName, EnterOnCheckBox, Frame };
    const struct {
        const char* what;
        Close close;
        bool appliesNameAndColor;
        bool appliesFlags;
    } cases[] = {
        { "OK", Close::OK, true, true },
        { "Cancel", Close::Cancel, false, false },
        { "Escape", Close::Escape, false, false },
        { "Enter in the name", Close::EnterInName, true, true },
        { "Enter on a check box", Close::EnterOnCheckBox, true, true },
        { "the window frame", Close::Frame, false, false },
    };
    constexpr int index = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshLayers();
        TVeskLayer* layer = layers().LayerAt(index);
        const LayerLook before = lookOf(*layer);
        editLayer(index, [&](TLayerEdit& dialog) {
            EXPECT_EQ(dialog.NameEdit->text(), before.name);
            EXPECT_EQ(dialog.ChosenColor().rgba(), before.color);
            EXPECT_FALSE(dialog.MaskCheckBox->isChecked());
            dialog.NameEdit->setText(typed.name);
            chooseColor(dialog, QColor::fromRgba(typed.color));
            EXPECT_EQ(dialog.ChosenColor().rgba(), typed.color);
            QTest::mouseClick(dialog.MaskCheckBox, Qt::LeftButton);
            QTest::mouseClick(dialog.WireCheckBox, Qt::LeftButton);
            switch (c.close) {
            case Close::OK:
                QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
                break;
            case Close::Cancel:
                QTest::mouseClick(dialog.ButtonCancel, Qt::LeftButton);
                break;
            case Close::Escape:
                QTest::keyClick(dialog.NameEdit, Qt::Key_Escape);
                break;
            case Close::EnterInName:
                QTest::keyClick(dialog.NameEdit, Qt::Key_Return);
                break;
            case Close::EnterOnCheckBox:
                QTest::keyClick(dialog.WireCheckBox, Qt::Key_Enter);
                break;
            case Close::Frame:
                dialog.close();
                break;
            }
        });
        const LayerLook after = lookOf(*layer);
        EXPECT_EQ(after.name, c.appliesNameAndColor ? typed.name : before.name);
        EXPECT_EQ(after.color, c.appliesNameAndColor ? typed.color : before.color);
        EXPECT_EQ(after.mask, c.appliesFlags);
        EXPECT_EQ(after.wireFrame, c.appliesFlags);
        EXPECT_EQ(modified(), c.appliesNameAndColor || c.appliesFlags);
    }
}

// Objects are bound to layers by the stored name: a second "solder" would
// take the component copper over on the next opening. A taken name is
// refused, however it is closed, and the dialog stays with the field marked.
TEST_F(LayerWindowTest, EditorRefusesANameAnotherLayerHas)
{
    const struct {
        const char* what;
        QString typed;
    } cases[] = {
        { "another layer's name", QStringLiteral("solder") },
        { "a mask layer's name", QStringLiteral("hole") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshLayers();
        const int component = layers().FindLayer(QStringLiteral("component"))->index;
        for (const bool byEnter : { false, true }) {
            editLayer(component, [&](TLayerEdit& dialog) {
                dialog.NameEdit->setText(c.typed);
                if (byEnter)
                    QTest::keyClick(dialog.NameEdit, Qt::Key_Return);
                else
                    QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
                EXPECT_TRUE(dialog.isVisible()) << "refused, the dialog stays";
                EXPECT_TRUE(IsMarkedRefused(*dialog.NameEdit));
                EXPECT_FALSE(dialog.NameEdit->toolTip().isEmpty());
                // A free name is taken at once.
                QTest::keyClicks(dialog.NameEdit, QStringLiteral("2"));
                EXPECT_FALSE(IsMarkedRefused(*dialog.NameEdit));
                QTest::mouseClick(dialog.ButtonCancel, Qt::LeftButton);
            });
        }
        EXPECT_NE(layers().FindLayer(QStringLiteral("component")), nullptr);
        EXPECT_FALSE(modified());
    }
    // Its own name is no clash.
    editLayer(1, [](TLayerEdit& dialog) { QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton); });
    EXPECT_EQ(layers().LayerAt(1)->Name(), QStringLiteral("solder"));
}

// A mask layer draws in the background colour; the editor still offers the
// layer's own colour, so OK on a mask layer keeps it.
TEST_F(LayerWindowTest, EditorKeepsTheColourOfAMaskLayer)
{
    TVeskLayer* hole = layers().LayerAt(0);
    ASSERT_TRUE(hole->mask);
    hole->SetColor(0xFFC02020);
    context->History().SetModified(false);
    editLayer(0, [](TLayerEdit& dialog) {
        EXPECT_EQ(dialog.ChosenColor().rgba(), 0xFFC02020u);
        QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
    });
    EXPECT_EQ(hole->opaqueColor, 0xFFC02020u);
    EXPECT_FALSE(modified()) << "OK without a change changes nothing";
}

// Reordering and editing change the saved layer table: discarding the
// document afterwards asks first. Showing, hiding and locking do not.
TEST_F(LayerWindowTest, LayerTableChangesAreNotDiscardedWithoutAsking)
{
    const struct {
        const char* what;
        std::function<void(LayerWindowTest&)> act;
        bool asks;
    } cases[] = {
        { "reorder", [](LayerWindowTest& t) { t.drag(6, t.middleOf(6, 1)); }, true },
        { "rename",
            [](LayerWindowTest& t) {
                t.editLayer(3, [](TLayerEdit& d) {
                    d.NameEdit->setText(QStringLiteral("silk"));
                    QTest::mouseClick(d.ButtonOK, Qt::LeftButton);
                });
            },
            true },
        { "colour",
            [](LayerWindowTest& t) {
                t.editLayer(3, [](TLayerEdit& d) {
                    chooseColor(d, QColor(1, 2, 3));
                    QTest::keyClick(d.NameEdit, Qt::Key_Return);
                });
            },
            true },
        { "mask",
            [](LayerWindowTest& t) {
                t.editLayer(3, [](TLayerEdit& d) {
                    QTest::mouseClick(d.MaskCheckBox, Qt::LeftButton);
                    QTest::mouseClick(d.ButtonOK, Qt::LeftButton);
                });
            },
            true },
        { "wire-frame",
            [](LayerWindowTest& t) {
                t.editLayer(7, [](TLayerEdit& d) {
                    QTest::mouseClick(d.WireCheckBox, Qt::LeftButton);
                    QTest::mouseClick(d.ButtonOK, Qt::LeftButton);
                });
            },
            true },
        { "hide", [](LayerWindowTest& t) { t.click(3, 5); }, false },
        { "lock", [](LayerWindowTest& t) { t.click(3, 30); }, false },
        { "choose the current layer", [](LayerWindowTest& t) { t.click(3, kNameX); }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshLayers();
        c.act(*this);
        const std::vector<QString> afterAction = namesOf(layers());
        dialogs->questions.clear();
        dialogs->answers = { TSaveAnswer::Cancel };
        form->NewMenuClick();
        EXPECT_EQ(dialogs->questions.size(), c.asks ? 1u : 0u);
        if (c.asks) {
            EXPECT_EQ(namesOf(layers()), afterAction) << "cancel keeps the document";
        }
    }
}

TEST_F(LayerWindowTest, HideLockReorderEditThenSaveAndReopen)
{
    click(3, 5); // hide place_sol
    click(4, 30); // lock place_cmp
    drag(5, middleOf(5, 2)); // stop_sol above component
    editLayer(1, [](TLayerEdit& d) {
        d.NameEdit->setText(QStringLiteral("半田面"));
        chooseColor(d, QColor(10, 20, 200));
        QTest::mouseClick(d.WireCheckBox, Qt::LeftButton);
        QTest::mouseClick(d.ButtonOK, Qt::LeftButton);
    });
    ASSERT_TRUE(modified());

    const std::unique_ptr<TVeskDocument> saved = saveAndRead("layers.vbf");
    EXPECT_FALSE(modified());
    const std::vector<LayerLook> expected = {
        { QStringLiteral("hole"), 0xFFFFFFFF, true, false },
        { QStringLiteral("半田面"), 0xFF0A14C8, false, true },
        { QStringLiteral("stop_sol"), 0xFFFF80C0, false, false },
        { QStringLiteral("component"), 0xFF008000, false, false },
        { QStringLiteral("place_sol"), 0xFF465CAA, false, false },
        { QStringLiteral("place_cmp"), 0xFFFFB900, false, false },
        { QStringLiteral("stop_cmp"), 0xFFA6A6FF, false, false },
        { QStringLiteral("dimension"), 0xFF000000, false, true },
        { QStringLiteral("other"), 0xFF808080, false, false },
    };
    ASSERT_EQ(saved->Layers().LayerCount(), int(expected.size()));
    for (int i = 0; i < saved->Layers().LayerCount(); ++i)
        EXPECT_EQ(lookOf(*saved->Layers().LayerAt(i)), expected[size_t(i)]) << i;

    form->NewMenuClick();
    dialogs->openName = temp("layers.vbf");
    form->OpenMenuClick();
    ASSERT_EQ(window().RowCount(), int(expected.size()));
    for (int i = 0; i < window().RowCount(); ++i) {
        const TVeskLayer& layer = *row(i)->Layer();
        EXPECT_EQ(lookOf(layer), expected[size_t(i)]) << i;
        EXPECT_TRUE(layer.visible) << "visibility is not saved";
        EXPECT_FALSE(layer.locked) << "locks are not saved";
    }
    EXPECT_FALSE(modified());
}

TEST_F(LayerWindowTest, NewAndOpenMakeTheTopmostLayerANewDrawingShowsOnCurrent)
{
    // A board whose top layers are masks: the drawing layer is the first below them.
    {
        TVeskDocument masks;
        masks.Layers().LayerAt(1)->SetMask(true); // "solder"
        ASSERT_TRUE(masks.Write(temp("masks.vbf")).ok);
    }
    const struct {
        const char* what;
        QString open; // empty: New
        const char* current;
    } cases[] = {
        { "new", QString(), "solder" },
        { "board", QStringLiteral(VESK_TEST_DATA "/board.vbf"), "solder" },
        { "empty", QStringLiteral(VESK_TEST_DATA "/empty.vbf"), "solder" },
        { "masks on top", temp("masks.vbf"), "component" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        layers().SetCurrent(layers().LayerAt(0));
        if (c.open.isEmpty()) {
            form->NewMenuClick();
        } else {
            dialogs->openName = c.open;
            form->OpenMenuClick();
        }
        ASSERT_NE(layers().CurrentLayer(), nullptr);
        EXPECT_EQ(layers().CurrentLayer()->Name(), QLatin1String(c.current));
        int marked = -1;
        for (int i = 0; i < window().RowCount(); ++i)
            if (row(i)->Layer()->current)
                marked = i;
        EXPECT_EQ(marked, layers().CurrentLayer()->index) << "the layer window shows it";
        EXPECT_FALSE(modified());
    }
}

TEST_F(LayerWindowTest, DrawingFollowsTheLayersLook)
{
    constexpr int index = 2;
    addRect(index, TVeskSurface(1.0f, false, true, 4), { -50, -30, 100, 60 });
    // Away from the work-area frame at the origin, and no grid dots.
    form->Menu().showGridItem->trigger();
    ASSERT_FALSE(context->Grid().showGrid);
    const TVeskView& view = form->View();
    const PointF centre = view.DocumentToPixel({ 20, 15 });
    const QPoint pixel(int(centre.X), int(centre.Y));
    const auto shown = [&] {
        form->RunIdle();
        return form->DrawingArea().Image().pixelColor(pixel);
    };
    const QColor white(Qt::white);
    const QColor green = shown();
    ASSERT_NE(green, white);
    EXPECT_GT(green.green(), green.blue());

    click(index, 5);
    EXPECT_EQ(shown(), white) << "hidden";
    click(index, 5);
    EXPECT_EQ(shown(), green) << "shown again";

    editLayer(index, [](TLayerEdit& d) {
        chooseColor(d, QColor(0, 0, 255));
        QTest::mouseClick(d.ButtonOK, Qt::LeftButton);
    });
    // The double click made the layer current.
    ASSERT_EQ(layers().CurrentLayer(), layers().LayerAt(index));
    const QColor current = shown();
    EXPECT_GT(current.blue(), current.green()) << "new colour";

    click(1, kNameX);
    const QColor normal = shown();
    EXPECT_GT(normal.red(), current.red()) << "the current layer is drawn more opaque";
}

TEST_F(LayerWindowTest, WindowMenuShowsAndHidesTheToolWindows)
{
    const struct {
        const char* what;
        QAction* TMainMenu::*item;
        std::function<QWidget&(TVeskForm&)> window;
    } cases[] = {
        { "layer window", &TMainMenu::layerWindowItem,
            [](TVeskForm& f) -> QWidget& { return f.LayerWindow(); } },
        { "object editor", &TMainMenu::objectEditorItem,
            [](TVeskForm& f) -> QWidget& { return f.ObjectEditor(); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget& shownWindow = c.window(*form);
        QAction* item = form->Menu().*c.item;
        ASSERT_TRUE(shownWindow.isVisible()) << "shown at start-up";
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
        EXPECT_FALSE(shownWindow.isVisible());
        EXPECT_FALSE(item->isChecked());
        item->trigger();
        EXPECT_TRUE(shownWindow.isVisible());
        EXPECT_TRUE(item->isChecked());
    }
}

TEST_F(LayerWindowTest, ToolWindowsKeepTheirPlacementInTheSettingsFile)
{
    startWith("[LayerWindow]\nTop=140\nLeft=150\nWidth=230\nHeight=320\n"
              "[ObjectEditor]\nTop=160\nLeft=170\nWidth=210\nHeight=220\n[Other]\nKeep=1\n");
    const struct {
        const char* section;
        std::function<QWidget&(TVeskForm&)> window;
        QRect read;
        QRect moved;
    } cases[] = {
        { "LayerWindow", [](TVeskForm& f) -> QWidget& { return f.LayerWindow(); }, { 150, 140, 230, 320 },
            { 300, 310, 240, 330 } },
        { "ObjectEditor", [](TVeskForm& f) -> QWidget& { return f.ObjectEditor(); }, { 170, 160, 210, 220 },
            { 320, 330, 250, 260 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        QWidget& w = c.window(*form);
        EXPECT_EQ(QRect(w.pos(), w.size()), c.read);
        w.move(c.moved.topLeft());
        w.resize(c.moved.size());
    }
    form.reset();
    const TSettingsFile file(ini());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        const QString section = QLatin1String(c.section);
        EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Top"), 0), c.moved.y());
        EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Left"), 0), c.moved.x());
        EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Width"), 0), c.moved.width());
        EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Height"), 0), c.moved.height());
    }
    EXPECT_EQ(file.ReadInteger(QStringLiteral("Other"), QStringLiteral("Keep"), 0), 1);
}

} // namespace
