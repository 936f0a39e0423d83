// A run of the real main window on the offscreen platform: open a document
// as the command line does, look at it, zoom with the buttons, the keys and
// the wheel, save it under a new name, and find the same bytes in the file.
#include "FakeDialogs.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "WaitFor.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Toolstrip.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The document as it would be saved at zoom 1.
QByteArray bytesAtZoom1(const QString& path)
{
    TVeskDocument doc;
    doc.ReadBytes(readBytes(path));
    doc.Root().SetViewScale(1.0);
    return doc.ToBytes();
}

void settle(TVeskForm& form)
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    form.RunIdle();
}

void key(QWidget& target, QEvent::Type type, int qtKey)
{
    QKeyEvent event(type, qtKey, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void leftClick(QWidget& target, QPoint at)
{
    const QPointF local(at);
    const QPointF global(target.mapToGlobal(at));
    QMouseEvent press(
        QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &release);
}

void wheel(QWidget& target, int delta)
{
    const QPointF centre(target.width() / 2.0, target.height() / 2.0);
    QWheelEvent event(centre, target.mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &event);
}

QToolButton* optionButton(TVeskForm& form, const QString& hint)
{
    for (QToolButton* button : form.ToolStrip().OptionButtons())
        if (button->toolTip() == hint)
            return button;
    return nullptr;
}

bool uniform(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

TEST(EditorRun, OpenZoomAndSaveAsKeepTheDocumentByteForByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fixture = QStringLiteral(VESK_TEST_DATA "/board.vbf");
    const QString source = dir.filePath(QStringLiteral("board.vbf"));
    ASSERT_TRUE(QFile::copy(fixture, source));

    TEditorContext context(dir.filePath(QStringLiteral("VeskV.ini")));
    auto fake = std::make_unique<FakeDialogs>();
    FakeDialogs& dialogs = *fake;
    context.SetDialogs(std::move(fake));
    TVeskForm form(context);
    form.StartUp(source);
    form.show();
    settle(form);

    TDrawingView& area = form.DrawingArea();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(form.windowTitle(), source);
    EXPECT_EQ(form.View().Width(), area.width());
    EXPECT_EQ(form.View().Height(), area.height());
    EXPECT_EQ(area.Image().size(), area.size());
    EXPECT_FALSE(uniform(area.Image()));
    EXPECT_EQ(form.ToolStrip().ToolButtons().size(), 9u);
    EXPECT_TRUE(form.ToolStrip().ToolButtons()[0]->isChecked());

    // The zoom buttons the active tool put below the tool buttons.
    QToolButton* zoomIn = optionButton(form, QStringLiteral("画面を拡大します"));
    QToolButton* zoomOut = optionButton(form, QStringLiteral("画面を縮小します"));
    ASSERT_NE(zoomIn, nullptr);
    ASSERT_NE(zoomOut, nullptr);
    // The opened board is shown whole, so zooms count from its fitted zoom.
    const double fitted = form.View().Zoom();
    EXPECT_NE(fitted, 1.0);
    const QImage before = area.Image();
    zoomIn->click();
    EXPECT_EQ(form.View().Zoom(), 2 * fitted);
    settle(form);
    EXPECT_NE(area.Image(), before);

    // Space+X and a click zoom in about the pointer, Space+Z and a click zoom out.
    const QPoint centre(area.width() / 2, area.height() / 2);
    key(area, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(area.cursor().shape(), Qt::BitmapCursor);
    key(area, QEvent::KeyPress, Qt::Key_X);
    leftClick(area, centre);
    EXPECT_EQ(form.View().Zoom(), 4 * fitted);
    key(area, QEvent::KeyRelease, Qt::Key_X);
    key(area, QEvent::KeyPress, Qt::Key_Z);
    leftClick(area, centre);
    EXPECT_EQ(form.View().Zoom(), 2 * fitted);
    key(area, QEvent::KeyRelease, Qt::Key_Z);
    key(area, QEvent::KeyRelease, Qt::Key_Space);
    // The release counts once no repeat's press follows it.
    EXPECT_TRUE(test::WaitFor([&] { return area.cursor().shape() == Qt::ArrowCursor; }));
    EXPECT_EQ(form.ToolBar().CurrentTool()->Modes().size(), 1u);

    // One wheel notch zooms by the square root of two; half notches add up.
    wheel(area, 120);
    EXPECT_DOUBLE_EQ(form.View().Zoom(), 2 * fitted * TVeskEventProc::WheelStep);
    wheel(area, -60);
    EXPECT_DOUBLE_EQ(form.View().Zoom(), 2 * fitted * TVeskEventProc::WheelStep);
    wheel(area, -60);
    EXPECT_DOUBLE_EQ(form.View().Zoom(), 2 * fitted);
    zoomOut->click();
    EXPECT_DOUBLE_EQ(form.View().Zoom(), fitted);
    settle(form);

    // Looking is not editing.
    EXPECT_FALSE(context.History().IsModified());
    const QString copy = dir.filePath(QStringLiteral("copy.vbf"));
    dialogs.saveName = copy;
    form.Menu().saveAsItem->trigger();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(form.windowTitle(), copy);
    // Every object stores the zoom it was last shown at; nothing else changes.
    EXPECT_EQ(bytesAtZoom1(copy), bytesAtZoom1(fixture));
    EXPECT_EQ(bytesAtZoom1(fixture), readBytes(fixture));

    EXPECT_TRUE(form.close());
    EXPECT_TRUE(dialogs.questions.empty());
}

} // namespace
