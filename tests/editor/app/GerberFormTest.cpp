// The Gerber export dialog: ticks kept in the layers, a folder asked for,
// one file per ticked layer, and a report of what was and was not written.
#include "app/Gerberform.h"

#include "../../cli/CliSupport.h"
#include "../../cli/InkComparison.h"
#include "FakeDialogs.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

class GerberFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(QString());
        gerber = &form->GerberForm();
        out = dir.filePath(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(out));
        for (const char* layer : { "solder", "component" })
            addRect(layer, { 100, 100, 300, 200 });
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    TVeskLayerList& layers() { return context->Document().Layers(); }
    void addRect(const char* layer, RectF r)
    {
        auto rect = std::make_unique<TVeskRect>(
            layers().FindLayer(QLatin1String(layer)), TVeskSurface(2, false, true, 4));
        rect->SetCorners({ r.X, r.Y }, { r.X + r.Width, r.Y + r.Height });
        context->Document().Root().Adopt(std::move(rect));
    }
    void addCircle(const char* layer, PointF centre, float radius)
    {
        auto circle = std::make_unique<TVeskEllipse>(
            layers().FindLayer(QLatin1String(layer)), TVeskSurface(2, false, true, 4));
        circle->SetCircle(centre, { centre.X + radius, centre.Y });
        context->Document().Root().Adopt(std::move(circle));
    }
    QByteArray contents(const QString& file) const
    {
        QFile f(QDir(out).filePath(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int row(const char* name) const
    {
        for (int i = 0; i < gerber->LayerList()->count(); ++i)
            if (gerber->LayerList()->item(i)->text() == QLatin1String(name))
                return i;
        return -1;
    }
    // Exactly these ticked.
    void tick(std::initializer_list<const char*> names)
    {
        gerber->show();
        for (int i = 0; i < gerber->LayerList()->count(); ++i)
            gerber->LayerList()->item(i)->setCheckState(Qt::Unchecked);
        for (const char* name : names)
            gerber->LayerList()->item(row(name))->setCheckState(Qt::Checked);
    }
    QStringList written() const { return QDir(out).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    QString out;
    std::unique_ptr<TEditorContext> context;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TVeskForm> form;
    TGerberForm* gerber = nullptr;
};

TEST_F(GerberFormTest, OkWritesOneFileEachTickedLayerThatGerbvReads)
{
    tick({ "solder", "component" });
    dialogs->folderName = out;
    gerber->ButtonOkClick();
    EXPECT_FALSE(gerber->isVisible());
    ASSERT_EQ(dialogs->folderRequests.size(), 1u);
    EXPECT_EQ(dialogs->folderRequests[0].caption, QStringLiteral("出力先の選択"));
    EXPECT_EQ(written(), (QStringList { QStringLiteral("component.gbr"), QStringLiteral("solder.gbr") }));
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("solder.gbr")));
    EXPECT_TRUE(dialogs->errors.empty());
    EXPECT_TRUE(layers().FindLayer(QStringLiteral("solder"))->printSelected);

    const QString reader = QStandardPaths::findExecutable(QStringLiteral("gerbv"));
    ASSERT_FALSE(reader.isEmpty()) << "gerbv (tools/setup.sh installs it)";
    for (const QString& file : written()) {
        SCOPED_TRACE(file.toStdString());
        QProcess gerbv;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("G_DEBUG"), QStringLiteral("fatal-criticals"));
        env.remove(QStringLiteral("DISPLAY"));
        gerbv.setProcessEnvironment(env);
        const QString png = dir.filePath(file + QStringLiteral(".png"));
        gerbv.start(reader,
            { QStringLiteral("-x"), QStringLiteral("png"), QStringLiteral("-o"), png,
                QDir(out).filePath(file) });
        ASSERT_TRUE(gerbv.waitForFinished(30000));
        EXPECT_EQ(gerbv.exitCode(), 0);
        EXPECT_TRUE(QFile::exists(png));
    }

    // The folder is offered again next time; outline output writes the same names.
    tick({});
    gerber->OutlineRadioBtn()->setChecked(true);
    gerber->ButtonOkClick();
    EXPECT_EQ(dialogs->folderRequests.back().text, out);
    EXPECT_FALSE(gerber->isVisible());
}

TEST_F(GerberFormTest, CancellingTheFolderKeepsTheDialogOpenAndWritesNothing)
{
    tick({ "solder" });
    dialogs->folderName.clear();
    gerber->ButtonOkClick();
    EXPECT_TRUE(gerber->isVisible());
    EXPECT_TRUE(written().isEmpty());
    EXPECT_FALSE(layers().FindLayer(QStringLiteral("solder"))->printSelected) << "stored on close only";
    gerber->reject();
    EXPECT_TRUE(layers().FindLayer(QStringLiteral("solder"))->printSelected);
}

TEST_F(GerberFormTest, NothingTickedAsksForAFolderWritesNothingAndSaysNothing)
{
    tick({});
    gerber->DrillCheckBox()->setChecked(false);
    dialogs->folderName = out;
    gerber->ButtonOkClick();
    EXPECT_FALSE(gerber->isVisible());
    EXPECT_TRUE(written().isEmpty());
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_TRUE(dialogs->errors.empty());
}

TEST_F(GerberFormTest, LayersThatCannotBeWrittenAreReportedBesideThoseThatWere)
{
    // A second layer named like the first would overwrite its file.
    layers().FindLayer(QStringLiteral("component"))->SetName(QStringLiteral("solder"));
    gerber->show();
    for (int i = 0; i < gerber->LayerList()->count(); ++i)
        if (gerber->LayerList()->item(i)->text() == QStringLiteral("solder"))
            gerber->LayerList()->item(i)->setCheckState(Qt::Checked);
    dialogs->folderName = out;
    gerber->ButtonOkClick();
    EXPECT_EQ(written(), QStringList { QStringLiteral("solder.gbr") });
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_TRUE(dialogs->errors[0].text.startsWith(QStringLiteral("書き出せなかったレイヤーがあります。")));
    EXPECT_TRUE(dialogs->errors[0].text.contains(
        QStringLiteral("は同じ出力で別のレイヤーが書き出しました。どちらかのレイヤーの名前を変えてください")))
        << dialogs->errors[0].text.toStdString();
    EXPECT_TRUE(dialogs->errors[0].text.contains(QStringLiteral("書き出したファイル")));

    // A folder that cannot take files.
    dialogs->folderName = dir.filePath(QStringLiteral("missing"));
    gerber->show();
    gerber->ButtonOkClick();
    ASSERT_EQ(dialogs->errors.size(), 2u);
    EXPECT_TRUE(dialogs->errors[1].text.contains(QStringLiteral("レイヤー「solder」: ")));
    EXPECT_TRUE(dialogs->errors[1].text.contains(QStringLiteral(".gbr を作れません: ")))
        << dialogs->errors[1].text.toStdString();

    // A shape beyond the coordinate range of the classic format.
    addRect("other", { 20000, 0, 10, 10 });
    dialogs->folderName = out;
    gerber->FormatBox()->setCurrentIndex(0);
    gerber->show();
    gerber->LayerList()->item(row("other"))->setCheckState(Qt::Checked);
    gerber->ButtonOkClick();
    ASSERT_EQ(dialogs->errors.size(), 3u);
    EXPECT_TRUE(dialogs->errors[2].text.contains(QStringLiteral(
        "mm) がガーバの座標範囲 -999.999 ～ 999.999 mm の外にあります。何も書き出していません")))
        << dialogs->errors[2].text.toStdString();
    EXPECT_FALSE(dialogs->errors[2].text.contains(QStringLiteral("cannot")));
}

TEST_F(GerberFormTest, X2AndTheDrillFileAreTheDefaultsAndTheChoiceIsRememberedForTheNextRun)
{
    EXPECT_EQ(gerber->FormatBox()->currentText(), QStringLiteral("Gerber X2")) << "the default";
    EXPECT_TRUE(gerber->DrillCheckBox()->isChecked());
    addCircle("hole", { 200, 150 }, 4);
    tick({ "component" });
    dialogs->folderName = out;
    gerber->ButtonOkClick();

    EXPECT_EQ(written(), (QStringList { QStringLiteral("component.gbr"), QStringLiteral("drill.drl") }));
    const QByteArray copper = contents(QStringLiteral("component.gbr"));
    EXPECT_TRUE(copper.contains("%MOMM*%"));
    EXPECT_TRUE(copper.contains("FileFunction,Copper,L1,Top"));
    EXPECT_FALSE(copper.contains("%MIA0B1*%"));
    EXPECT_TRUE(contents(QStringLiteral("drill.drl")).contains("M48"));
    EXPECT_TRUE(dialogs->errors.empty());
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("drill.drl (穴 1,")));

    // A later run of the program offers the choices made last.
    for (const int format : { 0, 1 }) {
        for (const bool drill : { false, true }) {
            SCOPED_TRACE(format * 2 + drill);
            form->GerberForm().FormatBox()->setCurrentIndex(format);
            form->GerberForm().DrillCheckBox()->setChecked(drill);
            form->GerberForm().show();
            form->GerberForm().ButtonOkClick();
            form.reset();
            context->SetDialogs(std::make_unique<FakeDialogs>());
            dialogs = static_cast<FakeDialogs*>(&context->Dialogs());
            dialogs->folderName = out;
            form = std::make_unique<TVeskForm>(*context);
            EXPECT_EQ(form->GerberForm().FormatBox()->currentIndex(), format);
            EXPECT_EQ(form->GerberForm().DrillCheckBox()->isChecked(), drill);
        }
    }
}

TEST_F(GerberFormTest, WithNothingRememberedTheLayersThatHoldSomethingAreTicked)
{
    addCircle("hole", { 200, 150 }, 4);
    gerber->show();
    const auto ticked = [&] {
        QStringList names;
        for (int i = 0; i < gerber->LayerList()->count(); ++i)
            if (gerber->LayerList()->item(i)->checkState() == Qt::Checked)
                names << gerber->LayerList()->item(i)->text();
        return names;
    };
    EXPECT_EQ(ticked(),
        (QStringList { QStringLiteral("hole"), QStringLiteral("solder"), QStringLiteral("component") }));
    // A choice once made is kept, even a layer without objects.
    tick({ "solder", "dimension" });
    gerber->reject();
    gerber->show();
    EXPECT_EQ(ticked(), (QStringList { QStringLiteral("solder"), QStringLiteral("dimension") }));
    gerber->reject();
}

TEST_F(GerberFormTest, TheReportWarnsOfTheImageMirrorWhenClassicFilesGoWithADrillFile)
{
    addCircle("hole", { 200, 150 }, 4);
    const struct {
        int format;
        bool drill;
        bool warned;
    } cases[] = { { 0, true, true }, { 0, false, false }, { 1, true, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format * 2 + c.drill);
        dialogs->messages.clear();
        tick({ "component" });
        gerber->FormatBox()->setCurrentIndex(c.format);
        gerber->DrillCheckBox()->setChecked(c.drill);
        dialogs->folderName = out;
        gerber->ButtonOkClick();
        ASSERT_EQ(dialogs->messages.size(), 1u);
        EXPECT_EQ(dialogs->messages[0].text.contains(QStringLiteral("像の反転 (%MIA0B1*%)")), c.warned)
            << dialogs->messages[0].text.toStdString();
    }
}

// What a new user sends to the board house, read by two readers nobody here
// wrote: each puts the copper the same way up and every drill hit on the
// centre of its pad.
TEST_F(GerberFormTest, TheDefaultExportReadsTheSameInGerbvAndTracespace)
{
    ASSERT_FALSE(test::gerbv().isEmpty()) << "gerbv (tools/setup.sh installs it)";
    const QString missing = test::tracespaceMissing();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    // Pads of 1.6 mm drilled 0.8 mm on the 2.54 mm grid, beside the fixture's
    // rectangles; not symmetric, so a picture turned over misses them.
    const PointF pads[] = { { 431.8f, 254 }, { 457.2f, 254 }, { 431.8f, 330.2f }, { 457.2f, 355.6f } };
    for (const PointF p : pads) {
        addCircle("component", p, 8);
        addCircle("hole", p, 4);
    }
    gerber->show();
    dialogs->folderName = out;
    gerber->ButtonOkClick();
    ASSERT_TRUE(dialogs->errors.empty()) << dialogs->errors[0].text.toStdString();
    ASSERT_EQ(written(),
        (QStringList { QStringLiteral("component.gbr"), QStringLiteral("drill.drl"),
            QStringLiteral("hole.gbr"), QStringLiteral("solder.gbr") }));

    // 0 to 50 mm by 0 to 40 mm of the document at 0.1 mm a pixel: one pixel a
    // document unit. The readers' y is up and the files negate it.
    const test::GerbvWindow window { 254, QSize(500, 400), QPointF(0, -40) };
    const auto read = [&](const QString& file, bool gerbv) {
        const QString png
            = dir.filePath(file + (gerbv ? QStringLiteral(".g.png") : QStringLiteral(".t.png")));
        const test::ProcessRun r = gerbv ? test::gerbvToPng(QDir(out).filePath(file), png, window)
                                         : test::tracespaceRead(QDir(out).filePath(file), png, window);
        EXPECT_EQ(r.exitCode, 0) << file.toStdString() << ": " << r.err.toStdString();
        return test::inkOf(QImage(png));
    };
    for (const bool gerbv : { true, false }) {
        SCOPED_TRACE(gerbv ? "gerbv" : "tracespace");
        const test::Ink copper = read(QStringLiteral("component.gbr"), gerbv);
        const test::Ink drill = read(QStringLiteral("drill.drl"), gerbv);
        ASSERT_EQ(copper.width, 500);
        ASSERT_EQ(drill.height, 400);
        const auto dark = [](const test::Ink& ink, PointF p, float dx, float dy) {
            const int x = int(p.X + dx), y = int(p.Y + dy);
            return ink.dark[size_t(y) * size_t(ink.width) + size_t(x)];
        };
        for (const PointF p : pads) {
            SCOPED_TRACE(testing::Message() << p.X << ", " << p.Y);
            EXPECT_TRUE(dark(drill, p, 0, 0)) << "a hit on the centre";
            EXPECT_TRUE(dark(copper, p, 0, 0));
            for (const auto& [dx, dy] :
                { std::pair { 7.0f, 0.0f }, { -7.0f, 0.0f }, { 0.0f, 7.0f }, { 0.0f, -7.0f } }) {
                EXPECT_FALSE(dark(drill, p, dx, dy)) << "the hole ends inside its pad";
                EXPECT_TRUE(dark(copper, p, dx, dy)) << "the pad's ring";
            }
        }
        // The fixture's rectangle, 10 to 40 mm by 10 to 30 mm, where it was drawn.
        EXPECT_TRUE(dark(copper, { 200, 150 }, 0, 0));
        EXPECT_FALSE(dark(copper, { 200, 350 }, 0, 0));
    }
}

TEST_F(GerberFormTest, ShapesNoDrillMakesAreReportedAsLeftOutOfTheDrillFile)
{
    addCircle("hole", { 200, 150 }, 4);
    addRect("hole", { 10, 10, 20, 20 });
    tick({});
    gerber->DrillCheckBox()->setChecked(true);
    dialogs->folderName = out;
    gerber->ButtonOkClick();
    EXPECT_EQ(written(), QStringList { QStringLiteral("drill.drl") });
    ASSERT_EQ(dialogs->errors.size(), 1u);
    const QString& report = dialogs->errors[0].text;
    EXPECT_TRUE(report.contains(QStringLiteral("ドリルファイルに入れられない図形 (1 個)")));
    EXPECT_TRUE(report.contains(
        QStringLiteral("レイヤー「hole」: (2.000 mm, 2.000 mm) "
                       "の四角形「Rectangle」は円でも長穴でもないため、ドリルファイルに入れていません")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("drill.drl (穴 1,")));
    EXPECT_FALSE(report.contains(QStringLiteral("書き出せなかったレイヤー"))) << "every layer was written";
}

TEST_F(GerberFormTest, WithNothingToDrillNoDrillFileIsWrittenAndTheReportSaysSo)
{
    const struct {
        const char* what;
        std::vector<const char*> ticked;
        QStringList written;
    } cases[] = {
        { "the drill file alone", {}, {} },
        { "beside a layer", { "solder" }, { QStringLiteral("solder.gbr") } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(out).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(out));
        dialogs->messages.clear();
        gerber->show();
        for (int i = 0; i < gerber->LayerList()->count(); ++i)
            gerber->LayerList()->item(i)->setCheckState(Qt::Unchecked);
        for (const char* name : c.ticked)
            gerber->LayerList()->item(row(name))->setCheckState(Qt::Checked);
        gerber->DrillCheckBox()->setChecked(true);
        dialogs->folderName = out;
        gerber->ButtonOkClick();
        EXPECT_EQ(written(), c.written);
        EXPECT_TRUE(dialogs->errors.empty());
        ASSERT_EQ(dialogs->messages.size(), 1u);
        EXPECT_TRUE(dialogs->messages[0].text.contains(
            QStringLiteral("drill.drl: ドリルする穴がないため、書き出していません")))
            << dialogs->messages[0].text.toStdString();
    }
}

TEST_F(GerberFormTest, HoleBoxShowsTheChosenLayersMaskFlag)
{
    gerber->show();
    EXPECT_FALSE(gerber->HoleCheckBox()->isEnabled()) << "ticking it would change nothing";
    const int hole = row("hole"), solder = row("solder");
    EXPECT_EQ(gerber->HoleCheckBox()->isChecked(), layers().LayerAt(0)->mask) << "the first layer's at first";
    gerber->LayerList()->setCurrentRow(hole);
    EXPECT_TRUE(gerber->HoleCheckBox()->isChecked());
    gerber->LayerList()->setCurrentRow(solder);
    EXPECT_FALSE(gerber->HoleCheckBox()->isChecked());
    gerber->reject();
}

} // namespace
