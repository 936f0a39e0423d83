// The print dialog: its layer choice is remembered in the layers, and what it
// prints comes out at true scale, mirrored and negative as chosen. Checked on
// PDF pages written through the dialog and rasterised by pdftoppm.
#include "app/Printform.h"

#include "FakeDialogs.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

constexpr int kDpi = 254; // 10 pixels per millimetre

class PrintFormTest : public ::testing::Test {
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
        print = &form->PrintForm();
        print->Printer().setPageSize(QPageSize(QPageSize::A4));
        print->Printer().setPageMargins(QMarginsF(10, 15, 10, 10), QPageLayout::Millimeter);
        print->Printer().setResolution(600);
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    TVeskLayerList& layers() { return context->Document().Layers(); }
    // A filled rectangle on a layer, in document units (0.1 mm).
    void addRect(const char* layer, RectF r)
    {
        auto rect = std::make_unique<TVeskRect>(
            layers().FindLayer(QLatin1String(layer)), TVeskSurface(0, false, true, 4));
        rect->SetCorners({ r.X, r.Y }, { r.X + r.Width, r.Y + r.Height });
        context->Document().Root().Adopt(std::move(rect));
    }
    void choose(std::initializer_list<const char*> names)
    {
        print->show();
        for (int i = 0; i < print->LayerListBox()->count(); ++i)
            print->LayerListBox()->item(i)->setSelected(false);
        for (const char* name : names)
            for (int i = 0; i < print->LayerListBox()->count(); ++i)
                if (print->LayerListBox()->item(i)->text() == QLatin1String(name))
                    print->LayerListBox()->item(i)->setSelected(true);
    }
    // The PDF the dialog writes, as a grey image at kDpi of the whole page.
    QImage printedPage()
    {
        dialogs->saveName = dir.filePath(QStringLiteral("page.pdf"));
        QFile::remove(dialogs->saveName);
        print->PdfButtonClick();
        EXPECT_TRUE(dialogs->errors.empty());
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"),
            { QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"), QStringLiteral("-png"),
                QStringLiteral("-singlefile"), dialogs->saveName, dir.filePath(QStringLiteral("page")) });
        EXPECT_TRUE(raster.waitForFinished(30000)) << "pdftoppm (tools/setup.sh installs poppler-utils)";
        return QImage(dir.filePath(QStringLiteral("page.png"))).convertToFormat(QImage::Format_Grayscale8);
    }
    // First and last column of row y darker (or lighter) than the middle grey.
    static std::pair<int, int> run(const QImage& page, int y, bool dark = true)
    {
        int first = -1, last = -1;
        for (int x = 0; x < page.width(); ++x)
            if ((qGray(page.pixel(x, y)) < 128) == dark) {
                if (first < 0)
                    first = x;
                last = x;
            }
        return { first, last };
    }

    QTemporaryDir dir;
    std::unique_ptr<TEditorContext> context;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TVeskForm> form;
    TPrintForm* print = nullptr;
};

TEST_F(PrintFormTest, TheLayerChoiceIsKeptInTheLayersAndSharedWithTheGerberDialog)
{
    choose({ "solder", "hole" });
    print->hide();
    EXPECT_TRUE(layers().FindLayer(QStringLiteral("solder"))->printSelected);
    EXPECT_TRUE(layers().FindLayer(QStringLiteral("hole"))->printSelected);
    EXPECT_FALSE(layers().FindLayer(QStringLiteral("component"))->printSelected);

    // Ticked elsewhere (the Gerber dialog) and a layer added since: shown as they are.
    layers().FindLayer(QStringLiteral("component"))->printSelected = true;
    layers().AddNamedLayer(0xFF00FF00, QStringLiteral("new"));
    print->show();
    QStringList chosen;
    for (QListWidgetItem* item : print->LayerListBox()->selectedItems())
        chosen << item->text();
    chosen.sort();
    EXPECT_EQ(chosen,
        (QStringList { QStringLiteral("component"), QStringLiteral("hole"), QStringLiteral("solder") }));
    EXPECT_EQ(print->LayerListBox()->count(), layers().LayerCount());
    print->hide();
}

TEST_F(PrintFormTest, A100MillimetreBarPrints100MillimetresLong)
{
    // 100 mm long, 5 mm high, 20 mm from the document origin both ways.
    addRect("solder", { 200, 200, 1000, 50 });
    // A hidden layer prints when chosen.
    layers().FindLayer(QStringLiteral("solder"))->SetVisible(false);
    choose({ "solder" });
    const QImage page = printedPage();
    ASSERT_FALSE(page.isNull());
    // The printable area starts at the margins: 10 mm left, 15 mm top.
    const auto [first, last] = run(page, (150 + 200 + 25) * kDpi / 254);
    EXPECT_NEAR(last - first + 1, 1000, 2);
    EXPECT_NEAR(first, 100 + 200, 2);
}

TEST_F(PrintFormTest, MirrorTurnsThePrintAboutThePrintableWidth)
{
    addRect("solder", { 0, 200, 100, 50 });
    choose({ "solder" });
    print->MirrorCheckBox()->setChecked(true);
    const QImage page = printedPage();
    ASSERT_FALSE(page.isNull());
    // A4 is 210 mm wide; 10 mm margins leave 190 mm, so x 0..10 mm lands at
    // 180..190 mm of the printable area, 190..200 mm of the page.
    const auto [first, last] = run(page, (150 + 200 + 25) * kDpi / 254);
    EXPECT_NEAR(first, 1900, 2);
    EXPECT_NEAR(last + 1, 2000, 2);
}

TEST_F(PrintFormTest, NegativePrintsFilledObjectsWhiteAndMaskLayersBlack)
{
    // A black field on a mask layer drawn beneath, with a copper bar on it.
    TVeskLayer* field = layers().FindLayer(QStringLiteral("other"));
    ASSERT_GT(field->index, layers().FindLayer(QStringLiteral("solder"))->index);
    field->mask = true;
    addRect("other", { 0, 0, 600, 400 });
    addRect("solder", { 100, 100, 400, 100 });
    choose({ "other", "solder" });
    print->BlackButton()->setChecked(true);
    print->NegativeCheckBox()->setChecked(true);
    const QImage page = printedPage();
    ASSERT_FALSE(page.isNull());
    const int top = 150 * kDpi / 254, left = 100 * kDpi / 254;
    EXPECT_LT(qGray(page.pixel(left + 50, top + 50)), 64) << "mask field black";
    EXPECT_GT(qGray(page.pixel(left + 300, top + 150)), 192) << "copper white";
    EXPECT_LT(qGray(page.pixel(left + 700, top + 150)), 64) << "paper beyond the field black";
}

TEST_F(PrintFormTest, ANegativeIsBlackPaperWithTheArtworkWhite)
{
    // A 100 mm track, 2 mm wide, 20 mm from the document origin both ways.
    addRect("solder", { 200, 200, 1000, 20 });
    choose({ "solder" });
    print->BlackButton()->setChecked(true);
    print->NegativeCheckBox()->setChecked(true);
    const QImage page = printedPage();
    ASSERT_FALSE(page.isNull());
    qint64 dark = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(double(dark) / (qint64(page.width()) * page.height()), 0.99) << "the margins too";
    // The longest run of light pixels across the track (the sheet's last
    // column is only part covered by the page and comes out grey).
    const int y = (150 + 200 + 10) * kDpi / 254;
    int first = -1, length = 0;
    for (int x = 0, start = -1; x <= page.width(); ++x) {
        const bool light = x < page.width() && qGray(page.pixel(x, y)) >= 128;
        if (light && start < 0)
            start = x;
        if (!light && start >= 0) {
            if (x - start > length) {
                first = start;
                length = x - start;
            }
            start = -1;
        }
    }
    EXPECT_NEAR(length, 1000, 2);
    EXPECT_NEAR(first, 100 + 200, 2);

    // Colour printing has no negative.
    print->ColorButton()->setChecked(true);
    EXPECT_FALSE(print->NegativeCheckBox()->isEnabled());
    EXPECT_FALSE(print->Setup(190).negative);
}

// Toner transfer: the solder side prints as drawn, the component side
// mirrored, each in black with its copper, the holes (paper over the copper,
// marking the drill centres) and the outline, and nothing of the other side.
TEST_F(PrintFormTest, TonerTransferPresetsPrintOneSideMirroredOrNot)
{
    // A 10 mm copper bar on each side, 5 mm high, with a 2 mm hole in its middle.
    addRect("solder", { 0, 200, 100, 50 });
    addRect("hole", { 40, 210, 20, 30 });
    addRect("component", { 0, 300, 100, 50 });
    addRect("hole", { 40, 310, 20, 30 });
    addRect("place_cmp", { 0, 400, 100, 50 });
    const struct {
        const char* name;
        TPrintForm::TPreset preset;
        QStringList layers;
        bool mirrored;
        int printedRow; // document units
        int blankRow;
    } cases[] = {
        { "トナー転写: はんだ面", TPrintForm::TPreset::TonerSolderSide,
            { QStringLiteral("hole"), QStringLiteral("solder"), QStringLiteral("dimension") }, false, 225,
            325 },
        { "トナー転写: 部品面", TPrintForm::TPreset::TonerComponentSide,
            { QStringLiteral("hole"), QStringLiteral("component"), QStringLiteral("dimension") }, true, 325,
            225 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Whatever was set before.
        choose({ "place_cmp", "solder", "component" });
        print->ColorButton()->setChecked(true);
        print->MirrorCheckBox()->setChecked(!c.mirrored);
        print->BlackButton()->setChecked(true);
        print->NegativeCheckBox()->setChecked(true);
        print->PresetBox()->setCurrentText(QString::fromUtf8(c.name));
        EXPECT_EQ(print->PresetBox()->currentIndex(), int(c.preset));

        QStringList chosen;
        for (int i = 0; i < print->LayerListBox()->count(); ++i)
            if (print->LayerListBox()->item(i)->isSelected())
                chosen << print->LayerListBox()->item(i)->text();
        EXPECT_EQ(chosen, c.layers);
        EXPECT_TRUE(print->BlackButton()->isChecked());
        EXPECT_FALSE(print->NegativeCheckBox()->isChecked());
        EXPECT_EQ(print->MirrorCheckBox()->isChecked(), c.mirrored);

        const QImage page = printedPage();
        ASSERT_FALSE(page.isNull());
        // The printable area starts 10 mm from the left and 15 mm from the top
        // of the page and is 190 mm wide; a mirrored print ends at its right edge.
        const int row = (150 + c.printedRow) * kDpi / 254;
        const auto [first, last] = run(page, row);
        EXPECT_NEAR(first, c.mirrored ? 1900 : 100, 2);
        EXPECT_NEAR(last + 1, c.mirrored ? 2000 : 200, 2);
        const int middle = (first + last) / 2;
        EXPECT_GT(qGray(page.pixel(middle, row)), 192) << "the hole shows as paper";
        EXPECT_LT(qGray(page.pixel(first + 20, row)), 64);
        EXPECT_EQ(run(page, (150 + c.blankRow) * kDpi / 254).first, -1) << "the other side";
        EXPECT_EQ(run(page, (150 + 425) * kDpi / 254).first, -1) << "no print layer";
    }

    // A choice changed by hand is no longer the preset.
    print->MirrorCheckBox()->setChecked(false);
    EXPECT_EQ(print->PresetBox()->currentIndex(), 0);
    print->PresetBox()->setCurrentIndex(int(TPrintForm::TPreset::TonerSolderSide));
    print->hide();
    print->show();
    EXPECT_EQ(print->PresetBox()->currentIndex(), int(TPrintForm::TPreset::TonerSolderSide)) << "still so";
    print->hide();
    layers().FindLayer(QStringLiteral("place_cmp"))->printSelected = true;
    print->show();
    EXPECT_EQ(print->PresetBox()->currentIndex(), 0) << "chosen elsewhere meanwhile";
    print->hide();
}

TEST_F(PrintFormTest, FailuresAreReportedAndLeaveNoFile)
{
    addRect("solder", { 0, 0, 100, 100 });
    choose({ "solder" });
    // A PDF into a folder that does not exist.
    dialogs->saveName = dir.filePath(QStringLiteral("missing/page.pdf"));
    print->PdfButtonClick();
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_EQ(dialogs->errors[0].caption, QStringLiteral("印刷エラー"));
    EXPECT_TRUE(dialogs->errors[0].text.contains(QStringLiteral("PDF")));
    EXPECT_FALSE(QFile::exists(dialogs->saveName));

    // A printer that cannot start its job.
    print->Printer().setOutputFormat(QPrinter::PdfFormat);
    print->Printer().setOutputFileName(dir.filePath(QStringLiteral("missing/printer.pdf")));
    print->PrintButtonClick();
    ASSERT_EQ(dialogs->errors.size(), 2u);
    EXPECT_EQ(dialogs->errors[1].caption, QStringLiteral("印刷エラー"));

    // Cancelling the file dialog writes nothing and says nothing.
    dialogs->saveName.clear();
    print->PdfButtonClick();
    EXPECT_EQ(dialogs->errors.size(), 2u);
}

} // namespace
