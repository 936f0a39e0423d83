// The object editor on the real main window: the style page editing the
// surfaces a tool lists (each change one history step that reaches the
// saved document, with the outlines rebuilt), the current surface for new
// objects, the grid page, and the main window's items for both.
#include "app/Objecteditor.h"

#include "DrawingInput.h"
#include "ToolWindowFixture.h"
#include "app/Drawingview.h"
#include "app/Mainmenu.h"
#include "app/Numberinput.h"
#include "app/Statustab.h"
#include "app/Surfacetab.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace vesk;

namespace {

TVeskSurface surface(float width, bool fill = false, bool cutOut = false, int join = 2)
{
    TVeskSurface s(width, cutOut, fill, 4);
    s.SetLineJoin(join);
    s.SetLineCap(join);
    return s;
}

std::vector<QString> itemsOf(const QListWidget& list)
{
    std::vector<QString> items;
    for (int i = 0; i < list.count(); ++i)
        items.push_back(list.item(i)->text());
    return items;
}

class ObjectEditorTest : public vesk::test::ToolWindowFixture {
public:
    TSurfaceTab& styles() { return form->ObjectEditor().SurfaceTab(); }
    TStatusTab& grid() { return form->ObjectEditor().StatusTab(); }
    TVeskToolHost& host() { return *form; }

    // Objects with these surfaces, listed as a tool lists its selection.
    std::vector<TVeskObject*> list(const std::vector<TVeskSurface>& surfaces)
    {
        std::vector<TVeskObject*> objects;
        float x = 0;
        for (const TVeskSurface& s : surfaces) {
            objects.push_back(addRect(2, s, { x, 0, 50, 30 }));
            x += 80;
        }
        context->Edit().Reset(30);
        host().ShowSurfacesOf(objects);
        return objects;
    }

    static void type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    static void choose(QListWidget* list, const QString& text)
    {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    }

    // The surfaces of the root's children in the saved file.
    std::vector<TVeskSurface> savedSurfaces()
    {
        const std::unique_ptr<TVeskDocument> saved = saveAndRead("styles.vbf");
        std::vector<TVeskSurface> surfaces;
        for (int i = 0; i < saved->Root().ChildCount(); ++i)
            surfaces.push_back(saved->Root().ChildAt(i)->Surface());
        return surfaces;
    }
};

TEST_F(ObjectEditorTest, WidthTypedOnTheListedObjects)
{
    const struct {
        const char* what;
        std::vector<TVeskSurface> listed;
        const char* shown;
        const char* typed;
        std::vector<float> widths;
        int newSteps;
    } cases[] = {
        { "differing widths", { surface(5), surface(10) }, "", "2", { 20, 20 }, 1 },
        { "the same width", { surface(5), surface(5) }, "0.5", "1.25", { 12.5f, 12.5f }, 1 },
        { "zero reaches filled ones only", { surface(5, true), surface(5) }, "0.5", "0", { 0, 5 }, 1 },
        { "unchanged is no step", { surface(20), surface(20) }, "2", "2.0", { 20, 20 }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith({});
        list(c.listed);
        EXPECT_EQ(styles().widthEdit->text(), QLatin1String(c.shown));
        const int before = steps();
        type(styles().widthEdit, QLatin1String(c.typed));
        EXPECT_EQ(steps(), before + c.newSteps);
        const std::vector<TVeskSurface> saved = savedSurfaces();
        ASSERT_EQ(saved.size(), c.widths.size());
        for (size_t i = 0; i < saved.size(); ++i)
            EXPECT_EQ(saved[i].GetWidth(), c.widths[i]) << i;
    }
}

TEST_F(ObjectEditorTest, CheckBoxesSetEveryListedObjectFromTheGrayedState)
{
    const struct {
        const char* what;
        QCheckBox* TSurfaceTab::*box;
        bool (TVeskSurface::*get)() const;
        TVeskSurface with;
    } cases[] = {
        { "fill", &TSurfaceTab::fillCheck, &TVeskSurface::GetFill, surface(5, true) },
        { "cut-out", &TSurfaceTab::cutOutCheck, &TVeskSurface::GetCutOut, surface(5, false, true) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith({});
        const std::vector<TVeskObject*> objects = list({ c.with, surface(5) });
        QCheckBox* box = styles().*c.box;
        EXPECT_TRUE(box->isTristate());
        EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);

        const int before = steps();
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(box->checkState(), Qt::Checked);
        EXPECT_FALSE(box->isTristate()) << "all agree now";
        EXPECT_EQ(steps(), before + 1);
        for (TVeskObject* o : objects)
            EXPECT_TRUE((o->Surface().*c.get)());
        for (const TVeskSurface& s : savedSurfaces())
            EXPECT_TRUE((s.*c.get)());

        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(box->checkState(), Qt::Unchecked);
        EXPECT_EQ(steps(), before + 2);
        for (TVeskObject* o : objects)
            EXPECT_FALSE((o->Surface().*c.get)());
    }
}

TEST_F(ObjectEditorTest, JoinButtonsSetJoinAndCapTogether)
{
    const struct {
        const char* what;
        QToolButton* TSurfaceTab::*button;
        int join;
    } cases[] = {
        { "bevel", &TSurfaceTab::bevelButton, 1 },
        { "round", &TSurfaceTab::roundButton, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith({});
        const std::vector<TVeskObject*> objects
            = list({ surface(5, false, false, 1), surface(5, false, false, 2) });
        EXPECT_FALSE(styles().bevelButton->isChecked()) << "mixed: both up";
        EXPECT_FALSE(styles().roundButton->isChecked());
        const int before = steps();
        QTest::mouseClick(styles().*c.button, Qt::LeftButton);
        EXPECT_TRUE((styles().*c.button)->isChecked());
        EXPECT_EQ(steps(), before + 1);
        for (const TVeskSurface& s : savedSurfaces()) {
            EXPECT_EQ(s.GetLineJoin(), c.join);
            EXPECT_EQ(s.GetLineCap(), c.join);
        }
        EXPECT_EQ(host().CurrentSurface().GetLineJoin(), c.join);
    }
}

TEST_F(ObjectEditorTest, WithNothingListedChangesGoToTheCurrentSurfaceOnly)
{
    EXPECT_EQ(host().CurrentSurface(), TVeskSurface(7.5f, false, false, 4));
    EXPECT_EQ(styles().widthEdit->text(), QStringLiteral("0.75"));
    EXPECT_TRUE(styles().roundButton->isChecked());
    const int before = steps();
    type(styles().widthEdit, QStringLiteral("1.5"));
    QTest::mouseClick(styles().fillCheck, Qt::LeftButton);
    QTest::mouseClick(styles().bevelButton, Qt::LeftButton);
    TVeskSurface expected(15.0f, false, true, 4);
    expected.SetLineJoin(1);
    expected.SetLineCap(1);
    EXPECT_EQ(host().CurrentSurface(), expected);
    EXPECT_EQ(steps(), before);
    EXPECT_FALSE(modified());
}

// A track whose layer was just locked or hidden is out of reach: the tab
// stops showing it, and a width typed afterwards leaves it as it was.
TEST_F(ObjectEditorTest, ObjectsOfALayerJustLockedOrHiddenKeepTheirStyle)
{
    const struct {
        const char* what;
        std::function<void(TVeskLayer&)> shut;
    } cases[] = {
        { "locked", [](TVeskLayer& layer) { layer.SetLocked(true); } },
        { "hidden", [](TVeskLayer& layer) { layer.SetVisible(false); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith({});
        const std::vector<TVeskObject*> objects = list({ surface(5) });
        ASSERT_EQ(styles().ListedCount(), 1);
        c.shut(*layers().LayerAt(2));
        EXPECT_EQ(styles().ListedCount(), 0);
        type(styles().widthEdit, QStringLiteral("1.5"));
        EXPECT_EQ(objects.front()->Surface().GetWidth(), 5.0f);
        EXPECT_EQ(steps(), 0);
        EXPECT_FALSE(modified());
    }
}

TEST_F(ObjectEditorTest, RefreshStyleAdoptsTheStyleOfALoneListedObject)
{
    const struct {
        const char* what;
        std::vector<TVeskSurface> listed;
        bool adopts;
    } cases[] = {
        { "one", { surface(33, true, false, 1) }, true },
        { "two", { surface(33, true, false, 1), surface(33, true, false, 1) }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith({});
        const TVeskSurface before = host().CurrentSurface();
        list(c.listed);
        host().RefreshStyle();
        EXPECT_EQ(styles().ListedCount(), 0);
        EXPECT_EQ(host().CurrentSurface(), c.adopts ? c.listed.front() : before);
        EXPECT_EQ(styles().widthEdit->text(), c.adopts ? QStringLiteral("3.3") : QStringLiteral("0.75"));
    }
}

TEST_F(ObjectEditorTest, InvalidWidthsAreRefusedAndMarked)
{
    const std::vector<TVeskObject*> objects = list({ surface(5), surface(5) });
    for (const char* text : { "abc", "-0.1", "300", "1e999", "nan", "1,2,3" }) {
        SCOPED_TRACE(text);
        const int before = steps();
        type(styles().widthEdit, QLatin1String(text));
        EXPECT_TRUE(IsMarkedRefused(*styles().widthEdit));
        EXPECT_EQ(steps(), before);
        EXPECT_EQ(objects[0]->Surface().GetWidth(), 5.0f);
        EXPECT_EQ(host().CurrentSurface().GetWidth(), 7.5f);
    }
    type(styles().widthEdit, QStringLiteral("299.9"));
    EXPECT_FALSE(IsMarkedRefused(*styles().widthEdit));
    EXPECT_EQ(objects[1]->Surface().GetWidth(), 2999.0f);
}

TEST_F(ObjectEditorTest, WidthPresetsComeFromTheSettingsFile)
{
    startWith("[SurfaceTab]\nWidth0=0.5\nWidth1=1\nWidth2=-3\nWidth3=2\n");
    EXPECT_EQ(
        itemsOf(*styles().widthList), (std::vector<QString> { QStringLiteral("0.5"), QStringLiteral("1") }));
    const std::vector<TVeskObject*> objects = list({ surface(5) });
    const int before = steps();
    choose(styles().widthList, QStringLiteral("1"));
    EXPECT_EQ(styles().widthEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(objects[0]->Surface().GetWidth(), 10.0f);
    EXPECT_EQ(steps(), before + 1);
}

TEST_F(ObjectEditorTest, AFreshInstallHasTheUsualGridAndWidthPresets)
{
    startWith(QByteArray());
    EXPECT_EQ(itemsOf(*grid().gridList),
        (std::vector<QString> { QStringLiteral("0.1"), QStringLiteral("0.25"), QStringLiteral("0.5"),
            QStringLiteral("0.635"), QStringLiteral("1"), QStringLiteral("1.27"), QStringLiteral("2.54") }));
    EXPECT_EQ(itemsOf(*styles().widthList),
        (std::vector<QString> { QStringLiteral("0.2"), QStringLiteral("0.3"), QStringLiteral("0.5"),
            QStringLiteral("0.8"), QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2") }));
    choose(grid().gridList, QStringLiteral("2.54"));
    EXPECT_DOUBLE_EQ(context->Grid().pitch, 25.4);
}

TEST_F(ObjectEditorTest, TheWidthForNewObjectsIsKeptAcrossRuns)
{
    const auto restart = [&] {
        form.reset();
        QFile file(ini());
        const QByteArray kept = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        startWith(kept);
    };
    EXPECT_EQ(host().CurrentSurface().GetWidth(), 7.5f) << "a first run";
    choose(styles().widthList, QStringLiteral("0.3"));
    EXPECT_EQ(host().CurrentSurface().GetWidth(), 3.0f);
    restart();
    EXPECT_EQ(host().CurrentSurface().GetWidth(), 3.0f);
    EXPECT_EQ(styles().widthEdit->text(), QStringLiteral("0.3"));
    type(styles().widthEdit, QStringLiteral("1.2"));
    restart();
    EXPECT_EQ(host().CurrentSurface().GetWidth(), 12.0f);

    // A stored width the box would refuse is not taken.
    for (const char* stored : { "-1", "300", "breit" }) {
        SCOPED_TRACE(stored);
        startWith(QByteArray("[SurfaceTab]\nNewObjectWidth=") + stored + "\n");
        EXPECT_EQ(host().CurrentSurface().GetWidth(), 7.5f);
    }
}

// The step is recorded with the new outline: redo brings back the wide one.
TEST_F(ObjectEditorTest, OutlinesAreRebuiltBeforeTheStepIsRecorded)
{
    const std::vector<TVeskObject*> objects = list({ surface(5) });
    RectF thin;
    objects[0]->GetBounds(thin);
    type(styles().widthEdit, QStringLiteral("4"));
    RectF wide;
    document().Root().ChildAt(0)->GetBounds(wide);
    EXPECT_NEAR(wide.Width - thin.Width, 35.0f, 0.5f);

    form->Menu().undoItem->trigger();
    EXPECT_EQ(styles().ListedCount(), 0) << "the listed objects went with the old root";
    RectF undone;
    document().Root().ChildAt(0)->GetBounds(undone);
    EXPECT_EQ(undone.Width, thin.Width);
    form->Menu().redoItem->trigger();
    RectF redone;
    document().Root().ChildAt(0)->GetBounds(redone);
    EXPECT_EQ(redone.Width, wide.Width);
    EXPECT_EQ(document().Root().ChildAt(0)->Surface().GetWidth(), 40.0f);
}

TEST_F(ObjectEditorTest, DefaultGridPitchFromTheSettingsFile)
{
    const struct {
        const char* settings;
        double pitch;
        const char* shown;
    } cases[] = {
        { "", 12.7, "1.27" },
        { "[StatusTab]\nDefaultGrid=2.54\n", 25.4, "2.54" },
        { "[StatusTab]\nDefaultGrid=0\n", 12.7, "1.27" },
        { "[StatusTab]\nDefaultGrid=100\n", 12.7, "1.27" },
        { "[StatusTab]\nDefaultGrid=zwei\n", 12.7, "1.27" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        startWith(QByteArray(c.settings));
        EXPECT_DOUBLE_EQ(context->Grid().pitch, c.pitch);
        EXPECT_EQ(grid().gridEdit->text(), QLatin1String(c.shown));
        EXPECT_EQ(form->StatusText(2), QLatin1String(c.shown) + QStringLiteral("mm"));
    }
}

TEST_F(ObjectEditorTest, GridPitchTypedOrChosen)
{
    startWith("[StatusTab]\nGrid0=0.635\nGrid1=2.54\nGrid2=-1\nGrid3=5\n");
    EXPECT_EQ(itemsOf(*grid().gridList),
        (std::vector<QString> { QStringLiteral("0.635"), QStringLiteral("2.54") }));
    const struct {
        const char* typed;
        bool taken;
        double pitch;
    } cases[] = {
        { "0.5", true, 5.0 },
        { "99.9", true, 999.0 },
        { "0", false, 999.0 },
        { "100", false, 999.0 },
        { "-1", false, 999.0 },
        { "abc", false, 999.0 },
        { " ", false, 999.0 },
        { "0.1", true, 1.0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        type(grid().gridEdit, QLatin1String(c.typed));
        EXPECT_EQ(IsMarkedRefused(*grid().gridEdit), !c.taken);
        EXPECT_DOUBLE_EQ(context->Grid().pitch, c.pitch);
        EXPECT_EQ(form->StatusText(2), DisplayNumber(c.pitch * 0.1) + QStringLiteral("mm"));
    }
    choose(grid().gridList, QStringLiteral("0.635"));
    EXPECT_DOUBLE_EQ(context->Grid().pitch, 6.35);
    EXPECT_EQ(form->StatusText(2), QStringLiteral("0.635mm"));
    EXPECT_FALSE(IsMarkedRefused(*grid().gridEdit));
}

TEST_F(ObjectEditorTest, SnapAndGridSwitchesFromTheMenuAndTheCheckBoxes)
{
    const struct {
        const char* what;
        std::function<void(ObjectEditorTest&)> toggle;
        bool TVeskGridSettings::*flag;
        QCheckBox* TStatusTab::*box;
        QAction* TMainMenu::*item;
    } cases[] = {
        { "snap item", [](ObjectEditorTest& t) { t.form->Menu().snapItem->trigger(); },
            &TVeskGridSettings::snap, &TStatusTab::snapCheck, &TMainMenu::snapItem },
        { "grid item", [](ObjectEditorTest& t) { t.form->Menu().showGridItem->trigger(); },
            &TVeskGridSettings::showGrid, &TStatusTab::showGridCheck, &TMainMenu::showGridItem },
        { "snap check box",
            [](ObjectEditorTest& t) { QTest::mouseClick(t.grid().snapCheck, Qt::LeftButton); },
            &TVeskGridSettings::snap, &TStatusTab::snapCheck, &TMainMenu::snapItem },
        { "grid check box",
            [](ObjectEditorTest& t) { QTest::mouseClick(t.grid().showGridCheck, Qt::LeftButton); },
            &TVeskGridSettings::showGrid, &TStatusTab::showGridCheck, &TMainMenu::showGridItem },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool expected : { false, true }) {
            c.toggle(*this);
            EXPECT_EQ(context->Grid().*c.flag, expected);
            EXPECT_EQ((grid().*c.box)->isChecked(), expected);
            Q_EMIT form->Menu().configMenu->aboutToShow();
            EXPECT_EQ((form->Menu().*c.item)->isChecked(), expected);
        }
    }
}

// The board outline lies on a wire-frame layer drawn in black, the colour
// of selection marks: selected, it must still look selected, and the style
// page must say that what is typed there goes to it.
TEST_F(ObjectEditorTest, ASelectedOutlineOnTheWireFrameLayerShowsAndTheStylePageSaysItEditsIt)
{
    startWith({});
    TVeskRect proto(layers().FindLayer(QStringLiteral("dimension")), surface(5));
    proto.SetCorners({ 40, 40 }, { 140, 100 });
    document().Root().Add(proto);
    TDrawingView& area = form->DrawingArea();
    const auto px = [&](PointF p) { return test::PixelOf(*form, p); };
    test::Settle(*form);
    const QTabWidget& pages = form->ObjectEditor().PageControl();
    EXPECT_EQ(pages.tabText(0), QStringLiteral("スタイル"));
    EXPECT_EQ(pages.tabToolTip(0), QStringLiteral("これから作るオブジェクトのスタイルです"));
    const QImage unselected = area.Image();

    QTest::mousePress(&area, Qt::LeftButton, {}, px({ 20, 20 }));
    QTest::mouseMove(&area, px({ 160, 120 }));
    QTest::mouseRelease(&area, Qt::LeftButton, {}, px({ 160, 120 }));
    test::Settle(*form);
    EXPECT_EQ(pages.tabText(0), QStringLiteral("選択中 1 個"));
    EXPECT_EQ(pages.tabToolTip(0), QStringLiteral("選択中のオブジェクトのスタイルです"));
    // Across the left side of the outline the mark changes more than the wire's pixel.
    const QImage selected = area.Image();
    const QPoint side = px({ 40, 70 });
    int changed = 0;
    for (int x = side.x() - 3; x <= side.x() + 3; ++x)
        changed += selected.pixel(x, side.y()) != unselected.pixel(x, side.y()) ? 1 : 0;
    EXPECT_GE(changed, 2);

    // Nothing selected, the page edits the style of new objects again.
    QTest::mouseClick(&area, Qt::LeftButton, {}, px({ 300, 300 }));
    test::Settle(*form);
    EXPECT_EQ(pages.tabText(0), QStringLiteral("スタイル"));
}

} // namespace
