// The drawing tools in the real main window on the offscreen platform, with
// the 1.27 mm grid snapping: a closed Bezier path (with an anchor undone
// while building), an open polyline, a rectangle, a circle and a text drawn
// with mouse and key events on the drawing area, one anchor of the polyline
// moved and another deleted with the point tool, saved, and the file compared
// byte for byte with the same document built through the core; and what the
// tools do when the current layer is hidden or locked.
#include "FakeDialogs.h"
#include "Vesktoolbar.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Textform.h"
#include "app/Toolstrip.h"
#include "io/Veskdocument.h"
#include "io/Veskfilestream.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

constexpr float g = 12.7f; // the grid pitch, 1.27 mm

// The tool strip's order.
enum Tool { Select, Point, Bezier, Polyline, Ellipse, Rectangle, Text };

QByteArray normalised(TVeskDocument& doc)
{
    doc.Root().SetViewScale(1.0);
    doc.Root().SetSelected(false);
    return doc.ToBytes();
}

class DrawingToolsRun : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(QString());
        form->show();
        settle();
        form->View().Reset();
        context->Grid().pitch = g;
        context->Grid().snap = true;
        TVeskLayerList& layers = context->Document().Layers();
        layers.SetCurrent(layers.FindLayer(QStringLiteral("solder")));
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        form->RunIdle();
    }
    void use(Tool tool)
    {
        form->ToolStrip().ToolButtons()[size_t(tool)]->click();
        settle();
    }

    TDrawingView& area() { return form->DrawingArea(); }
    QPoint px(PointF p)
    {
        const PointF q = form->View().DocumentToPixel(p);
        return { int(std::lround(q.X)), int(std::lround(q.Y)) };
    }
    void mouse(QEvent::Type type, PointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPointF local = px(at);
        QMouseEvent event(type, local, area().mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&area(), &event);
    }
    void drag(PointF from, PointF to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, { (from.X + to.X) / 2, (from.Y + to.Y) / 2 }, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        settle();
    }
    // A click without a move: with the Bezier tool a move would pull handles.
    void click(PointF at)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        settle();
    }
    void key(int k, Qt::KeyboardModifiers modifiers = {})
    {
        area().setFocus();
        QTest::keyClick(&area(), Qt::Key(k), modifiers);
        settle();
    }

    QTemporaryDir dir;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
};

TEST_F(DrawingToolsRun, PathPolylineRectangleCircleTextAndPointEditsSaveAsBuiltThroughTheCore)
{
    // Closed Bezier path: the third anchor is undone and placed again; the
    // press on the first anchor closes it.
    use(Bezier);
    click({ 1, -2 });
    click({ 52, 1 });
    click({ 40, 60 });
    key(Qt::Key_Z, Qt::ControlModifier);
    click({ 49, 37 });
    EXPECT_EQ(context->History().Count(), 0) << "building records nothing in the document";
    click({ 0, 0 });
    EXPECT_EQ(context->History().Count(), 1);

    // Open polyline, finished with Enter.
    use(Polyline);
    click({ 0, 76 });
    click({ 26, 101 });
    click({ 51, 77 });
    key(Qt::Key_Return);
    EXPECT_EQ(context->History().Count(), 2);

    use(Rectangle);
    drag({ 77, 1 }, { 126, 37 });
    use(Ellipse);
    drag({ 89, 64 }, { 101, 63 });
    EXPECT_EQ(context->History().Count(), 4);

    // A text through the real dialog: family, size in millimetres, text.
    use(Text);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TTextForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->FontListBox()->setCurrentText(QStringLiteral("Tahoma"));
        dialog->SizeEdit()->setText(QStringLiteral("2.54"));
        dialog->TextMemo()->setPlainText(QStringLiteral("U1"));
        dialog->OKButtonClick();
    });
    click({ 1, 126 });
    EXPECT_EQ(context->History().Count(), 5);

    // The polyline's middle anchor dragged in grid steps, then its last
    // anchor deleted with X+Z.
    use(Point);
    click({ 25.4f, 101.6f });
    drag({ 25.4f, 101.6f }, { 39, 115 });
    area().setFocus();
    QTest::keyPress(&area(), Qt::Key_X);
    QTest::keyPress(&area(), Qt::Key_Z);
    click({ 50.8f, 76.2f });
    QTest::keyRelease(&area(), Qt::Key_Z);
    QTest::keyRelease(&area(), Qt::Key_X);
    EXPECT_EQ(context->History().Count(), 7);

    const QString saved = dir.filePath(QStringLiteral("drawn.vbf"));
    dialogs->saveName = saved;
    form->Menu().saveAsItem->trigger();
    ASSERT_TRUE(dialogs->errors.empty());

    // The same document through the core alone.
    TVeskDocument expected;
    expected.Reset();
    TVeskLayer* solder = expected.Layers().FindLayer(QStringLiteral("solder"));
    const TVeskSurface surface = form->CurrentSurface();
    TVeskPart& root = expected.Root();
    const auto path = [&](std::initializer_list<PointF> anchors, bool closed) {
        TVeskPath p(solder, surface);
        p.BeginPath();
        for (PointF a : anchors)
            p.AppendAnchor(a);
        if (closed)
            p.SetClosed(true);
        p.EndPath();
        root.Add(p);
    };
    path({ { 0, 0 }, { 4 * g, 0 }, { 4 * g, 3 * g } }, true);
    path({ { 0, 6 * g }, { 3 * g, 9 * g } }, false);
    TVeskRect rect(solder, surface);
    rect.SetCorners({ 6 * g, 0 }, { 10 * g, 3 * g });
    root.Add(rect);
    TVeskEllipse circle(solder, surface);
    circle.SetCircle({ 7 * g, 5 * g }, { 8 * g, 5 * g });
    root.Add(circle);
    TVeskString text(solder, surface);
    text.SetFont(QStringLiteral("Tahoma"), 0, 25.4f);
    text.PlaceText(QStringLiteral("U1"), { 0, 10 * g });
    root.Add(text);

    TVeskDocument written;
    ASSERT_TRUE(written.Read(saved).ok);
    ASSERT_EQ(written.Root().ChildCount(), 5);
    const QByteArray got = normalised(written), want = normalised(expected);
    // The object that differs first, for a readable failure.
    for (int i = 0; i < 5; ++i) {
        TVesk_ostream a, b;
        written.Root().ChildAt(i)->Save(a);
        expected.Root().ChildAt(i)->Save(b);
        EXPECT_EQ(a.Buffer().toHex(), b.Buffer().toHex()) << "object " << i;
    }
    EXPECT_EQ(got.toHex(), want.toHex());
    EXPECT_FALSE(context->History().IsModified());
}

} // namespace

namespace {

TEST_F(DrawingToolsRun, ANewShapeShowsAHiddenCurrentLayerAndALockedOneRefuses)
{
    const auto answerText = [] {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<TTextForm*>(QApplication::activeModalWidget())) {
                dialog->TextMemo()->setPlainText(QStringLiteral("A"));
                dialog->OKButtonClick();
            }
        });
    };
    const struct {
        const char* what;
        Tool tool;
        std::function<void(DrawingToolsRun&)> draw;
    } tools[] = {
        { "rectangle", Rectangle,
            [](DrawingToolsRun& t) {
                t.drag({ 0, 0 }, { 38, 25 });
            } },
        { "ellipse", Ellipse,
            [](DrawingToolsRun& t) {
                t.drag({ 0, 0 }, { 25, 0 });
            } },
        { "polyline", Polyline,
            [](DrawingToolsRun& t) {
                t.click({ 0, 0 });
                t.click({ 38, 0 });
                t.key(Qt::Key_Return);
            } },
        { "text", Text,
            [answerText](DrawingToolsRun& t) {
                answerText();
                t.click({ 0, 0 });
            } },
    };
    TVeskLayer* solder = context->Document().Layers().CurrentLayer();
    ASSERT_EQ(solder->Name(), QStringLiteral("solder"));
    for (const auto& t : tools) {
        SCOPED_TRACE(t.what);
        solder->SetLocked(false);
        solder->SetVisible(false);
        use(t.tool);
        const int children = context->Document().Root().ChildCount();
        t.draw(*this);
        EXPECT_TRUE(solder->visible) << "a shape on a hidden layer would vanish on release";
        EXPECT_EQ(context->Document().Root().ChildCount(), children + 1);
        EXPECT_EQ(form->statusBar()->currentMessage(),
            QStringLiteral("非表示だったレイヤー「solder」を表示しました。"));

        solder->SetLocked(true);
        form->statusBar()->clearMessage();
        const int steps = context->History().Count();
        t.draw(*this);
        EXPECT_EQ(context->Document().Root().ChildCount(), children + 1);
        EXPECT_EQ(context->History().Count(), steps);
        EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("ロックされています")))
            << form->statusBar()->currentMessage().toStdString();
    }
}

} // namespace
