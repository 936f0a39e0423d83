// The design-rule check in the real main window: the menu command checks
// the document and lists what it found, a click on a row zooms the drawing
// to it and marks it, an edit takes the marks away, the rules typed are
// refused or kept in the settings file for the next run.
#include "app/Drcform.h"

#include "ToolWindowFixture.h"
#include "app/Drawingview.h"
#include "app/Mainmenu.h"
#include "app/Settingsfile.h"
#include "shapes/Veskpath.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace vesk;
using namespace vesk::test;

namespace {

class DrcFormTest : public ToolWindowFixture {
public:
    // A straight track on a layer, in millimetres.
    void track(const char* layer, PointF a, PointF b, float widthMm)
    {
        TVeskPath p(layers().FindLayer(QLatin1String(layer)), TVeskSurface(widthMm * 10, false, false, 4));
        p.BeginPath();
        p.AppendAnchor(a * 10);
        p.AppendAnchor(b * 10);
        p.EndPath();
        p.SetSelected(false);
        document().Root().Add(p);
    }
    TDrcForm& drc() { return form->DrcForm(); }
    QStringList row(int i) const
    {
        QTreeWidgetItem* item = form->DrcForm().FindingList()->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << item->text(c);
        return cells;
    }
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        form->RunIdle();
    }
};

TEST_F(DrcFormTest, TheMenuChecksListsAndAClickZoomsToTheFindingUntilAnEdit)
{
    // Two tracks 0.2 mm apart on "solder", far from the origin.
    track("solder", { 40, 30 }, { 60, 30 }, 0.5f);
    track("solder", { 40, 30.7f }, { 60, 30.7f }, 0.5f);
    form->Menu().drcItem->trigger();
    settle();
    ASSERT_TRUE(drc().isVisible());
    ASSERT_EQ(drc().FindingList()->topLevelItemCount(), 1);
    EXPECT_EQ(row(0),
        (QStringList { QStringLiteral("クリアランス"), QStringLiteral("solder"), QStringLiteral("0.200"),
            QStringLiteral("0.300") }));
    EXPECT_EQ(drc().Summary()->text(), QStringLiteral("1 件見つかりました。"));
    EXPECT_EQ(form->DrawingArea().Markers().size(), 1u);
    EXPECT_FALSE(steps()) << "a check changes nothing";

    const double zoomBefore = form->View().Zoom();
    QTreeWidget* list = drc().FindingList();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    settle();
    EXPECT_GT(form->View().Zoom(), zoomBefore);
    const PointF centre = form->View().DocumentToPixel(drc().Findings()[0].At());
    EXPECT_NEAR(centre.X, form->DrawingArea().width() / 2.0, 2);
    EXPECT_NEAR(centre.Y, form->DrawingArea().height() / 2.0, 2);
    ASSERT_EQ(form->DrawingArea().Markers().size(), 1u);
    EXPECT_TRUE(form->DrawingArea().Markers()[0].chosen);

    // Any edit makes the findings stale.
    context->Edit().Begin(QStringLiteral("rename"));
    document().Root().SetName(QStringLiteral("edited"));
    context->Edit().Commit();
    settle();
    EXPECT_TRUE(form->DrawingArea().Markers().empty());
    EXPECT_EQ(drc().FindingList()->topLevelItemCount(), 0);

    // Checked again, then cleared by hand.
    drc().CheckButton()->click();
    EXPECT_EQ(drc().FindingList()->topLevelItemCount(), 1);
    drc().ClearButton()->click();
    EXPECT_TRUE(form->DrawingArea().Markers().empty());
    EXPECT_EQ(drc().FindingList()->topLevelItemCount(), 0);
}

TEST_F(DrcFormTest, RulesAreRefusedWhenNotADistanceAndKeptForTheNextRunWhenChecked)
{
    track("component", { 0, 0 }, { 10, 0 }, 0.25f);
    form->Menu().drcItem->trigger();
    settle();
    EXPECT_EQ(drc().FindingList()->topLevelItemCount(), 0) << "0.25 mm is wide enough by default";
    EXPECT_EQ(drc().Summary()->text(), QStringLiteral("ルール違反は見つかりませんでした。"));

    for (const char* bad : { "abc", "-0.1", "", "1e9" }) {
        SCOPED_TRACE(bad);
        drc().RuleEdit(TDrcForm::Width)->setText(QLatin1String(bad));
        EXPECT_FALSE(drc().RunCheck());
        EXPECT_FALSE(drc().RuleEdit(TDrcForm::Width)->toolTip().isEmpty());
    }
    drc().RuleEdit(TDrcForm::Width)->setText(QStringLiteral("0.3"));
    // Only ticked layers are copper.
    QListWidget* copper = drc().LayerList();
    for (int i = 0; i < copper->count(); ++i)
        if (copper->item(i)->text() == QLatin1String("component"))
            copper->item(i)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(drc().RunCheck());
    EXPECT_EQ(drc().FindingList()->topLevelItemCount(), 0);
    for (int i = 0; i < copper->count(); ++i)
        if (copper->item(i)->text() == QLatin1String("component"))
            copper->item(i)->setCheckState(Qt::Checked);
    ASSERT_TRUE(drc().RunCheck());
    ASSERT_EQ(drc().FindingList()->topLevelItemCount(), 1);
    EXPECT_EQ(row(0)[0], QStringLiteral("最小線幅"));
    EXPECT_EQ(row(0)[2], QStringLiteral("0.250"));

    const TSettingsFile file(ini());
    EXPECT_DOUBLE_EQ(file.ReadFloat(QStringLiteral("DesignRules"), QStringLiteral("Width"), 0), 0.3);
    EXPECT_EQ(file.ReadStringList(QStringLiteral("DesignRules"), QStringLiteral("CopperLayer")),
        (QStringList { QStringLiteral("solder"), QStringLiteral("component") }));
    // A later run of the program offers the same rules.
    form.reset();
    form = std::make_unique<TVeskForm>(*context);
    EXPECT_EQ(form->DrcForm().RuleEdit(TDrcForm::Width)->text(), QStringLiteral("0.3"));
}

} // namespace
