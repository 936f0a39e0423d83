// Gerber X2: attributes from the layer's role, nanometre coordinates with y
// negated, extended commands only, fills as regions of the exact outline
// with their holes joined by cut-ins, cut-outs in clear polarity.
#include "GerberTestSupport.h"
#include "gerber/Aperturelist.h"
#include "gerber/Gerberexport.h"
#include "gerber/Gerberformat.h"
#include "gerber/Preconvertregion.h"
#include "shapes/Veskpart.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <cmath>
#include <numbers>

namespace vesk::test {
namespace {

const QDateTime kWhen(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone(9 * 3600));

QByteArray WriteX2(const TVeskObject& root, int layerIndex, const QString& name)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TGerber_ostream out(buffer, TGerberFormat::X2);
    out.SetLayerName(name);
    out.SetCreationDate(kWhen);
    root.WriteGerber(out, layerIndex);
    EXPECT_TRUE(out.WriteFile()) << out.ErrorString().toStdString();
    return bytes;
}

QByteArray Header(const char* function, const char* polarity)
{
    return "G04 #@! TF.GenerationSoftware," + GerberGenerationSoftware()
        + "*\n"
          "G04 #@! TF.CreationDate,2026-01-02T03:04:05+09:00*\n"
          "G04 #@! TF.FileFunction,"
        + function + "*\nG04 #@! TF.FilePolarity," + polarity
        + "*\n"
          "%FSLAX46Y46*%\n"
          "%MOMM*%\n"
          "G01*\n"
          "%LPD*%\n";
}

// The regions of a file, each as its contour in file units.
std::vector<std::vector<std::pair<long long, long long>>> Regions(const QByteArray& file)
{
    std::vector<std::vector<std::pair<long long, long long>>> regions;
    bool inside = false;
    for (const QByteArray& line : file.split('\n')) {
        if (line == "G36*") {
            inside = true;
            regions.emplace_back();
        } else if (line == "G37*") {
            inside = false;
        } else if (inside) {
            const qsizetype y = line.indexOf('Y'), d = line.indexOf('D');
            regions.back().emplace_back(
                line.mid(1, y - 1).toLongLong(), line.mid(y + 1, d - y - 1).toLongLong());
        }
    }
    return regions;
}

double Area(const std::vector<std::pair<long long, long long>>& c)
{
    double twice = 0;
    for (size_t i = 0; i + 1 < c.size(); ++i)
        twice += double(c[i].first) * double(c[i + 1].second) - double(c[i + 1].first) * double(c[i].second);
    return std::fabs(twice) / 2;
}

// Non-zero winding of the contour around a point (file units).
int Winding(const std::vector<std::pair<long long, long long>>& c, double x, double y)
{
    int w = 0;
    for (size_t i = 0; i + 1 < c.size(); ++i) {
        const double ax = double(c[i].first), ay = double(c[i].second);
        const double bx = double(c[i + 1].first), by = double(c[i + 1].second);
        const double cross = (bx - ax) * (y - ay) - (x - ax) * (by - ay);
        if (ay <= y && by > y && cross > 0)
            ++w;
        else if (ay > y && by <= y && cross < 0)
            --w;
    }
    return w;
}

TEST_F(GerberTest, X2WorkedExampleFileLineForLine)
{
    TVeskPart root;
    root.Add(*MakePath(
        StraightEntries({ { 10, 10 }, { 20, 10 }, { 20, 20 }, { 10, 20 } }), SurfaceOf(2, false), true));
    EXPECT_EQ(WriteX2(root, component->index, QStringLiteral("component")).toStdString(),
        (Header("Copper,L1,Top", "Positive")
            + "%ADD10C,0.200*%\n"
              "D10*\n"
              "X1000000Y-1000000D02*\n"
              "X2000000Y-1000000D01*\n"
              "X2000000Y-2000000D01*\n"
              "X1000000Y-2000000D01*\n"
              "X1000000Y-1000000D01*\n"
              "M02*\n")
            .toStdString());
}

TEST_F(GerberTest, X2LayerWithoutObjectsStillDefinesAnAperture)
{
    TVeskPart root;
    EXPECT_EQ(WriteX2(root, solder->index, QStringLiteral("solder")).toStdString(),
        (Header("Copper,L2,Bot", "Positive") + "%ADD10C,0.300*%\nM02*\n").toStdString());
}

TEST(GerberX2, EveryDefaultLayerHasTheRoleABoardHouseExpects)
{
    struct Case {
        const char* name;
        const char* function;
        const char* polarity;
        bool known;
    };
    const Case cases[] = {
        { "component", "Copper,L1,Top", "Positive", true },
        { "solder", "Copper,L2,Bot", "Positive", true },
        { "stop_cmp", "Soldermask,Top", "Negative", true },
        { "stop_sol", "Soldermask,Bot", "Negative", true },
        { "place_cmp", "Legend,Top", "Positive", true },
        { "place_sol", "Legend,Bot", "Positive", true },
        { "dimension", "Profile,NP", "Positive", true },
        { "hole", "Plated,1,2,PTH", "Positive", true },
        { "npth", "NonPlated,1,2,NPTH", "Positive", true },
        { "other", "Other,Drawing", "Positive", false },
        { "Component", "Other,Drawing", "Positive", false },
    };
    for (const Case& c : cases) {
        const TGerberLayerRole role = GerberLayerRole(QLatin1String(c.name));
        EXPECT_STREQ(role.fileFunction, c.function) << c.name;
        EXPECT_STREQ(role.filePolarity, c.polarity) << c.name;
        EXPECT_EQ(role.known, c.known) << c.name;
        EXPECT_EQ(GerberX2Attributes(QLatin1String(c.name), kWhen).startsWith("G04 Layer "), !c.known)
            << c.name;
    }
    // The name of a layer of no known role is kept in a comment, in UTF-8,
    // without what would end the comment or split a field.
    EXPECT_TRUE(GerberX2Attributes(QStringLiteral("シルク*%,x"), kWhen)
                    .startsWith("G04 Layer " + QStringLiteral("シルク___x").toUtf8() + "*\n"));
}

TEST(GerberX2, CoordinatesAreNanometresWithYNegatedWithinTenMetres)
{
    struct Case {
        PointF p;
        const char* record; // nullptr: refused
    };
    const Case cases[] = {
        { { 0, 0 }, "X0Y0D02*\n" },
        { { 1234.5f, 10 }, "X123450000Y-1000000D02*\n" },
        { { -10, -20 }, "X-1000000Y2000000D02*\n" },
        { { 99999, -99999 }, "X9999900000Y9999900000D02*\n" },
        { { 100000, 0 }, nullptr },
        { { 0, -100000 }, nullptr },
        { { NAN, 0 }, nullptr },
    };
    for (const Case& c : cases) {
        TGerberBody body(TGerberFormat::X2);
        body.Move(c.p);
        if (c.record) {
            EXPECT_FALSE(body.Refused()) << c.record;
            EXPECT_EQ(body.Text().toStdString(), c.record);
        } else {
            EXPECT_TRUE(body.Refused()) << c.p.X << ", " << c.p.Y;
            EXPECT_TRUE(body.Refusal().English().contains(QLatin1String("9999.999999")))
                << body.Refusal().English().toStdString();
        }
    }
    TGerberBody body(TGerberFormat::X2);
    body.Select(12);
    EXPECT_EQ(body.Text(), "D12*\n");
}

// With y negated a square turned one way in the document is turned the
// other way in the file.
TEST(GerberX2, SquarePenAperturesTurnTheOtherWay)
{
    struct Case {
        int angle;
        const char* classic;
        const char* x2;
    };
    const Case cases[] = {
        { 0, "%ADD00P,2.828X4X45*%", "%ADD00P,2.828X4X45*%" },
        { 30, "%ADD00P,2.828X4X75*%", "%ADD00P,2.828X4X15*%" },
        { 45, "%ADD00P,2.828X4X0*%", "%ADD00P,2.828X4X0*%" },
        { -30, "%ADD00P,2.828X4X15*%", "%ADD00P,2.828X4X75*%" },
    };
    for (const Case& c : cases) {
        const TApRect square(20, 20, c.angle);
        EXPECT_EQ(square.Definition().toStdString(), c.classic) << c.angle;
        EXPECT_EQ(square.X2Definition().toStdString(), c.x2) << c.angle;
    }
    EXPECT_EQ(TApRect(20, 10).X2Definition(), TApRect(20, 10).Definition());
}

TEST_F(GerberTest, X2FillsAreRegionsOfTheExactOutlineNotHatches)
{
    struct Case {
        const char* what;
        std::unique_ptr<TVeskObject> object;
        size_t regions;
        double areaMm2;
        bool strokes;
    };
    Matrix turned;
    turned.Rotate(30);
    std::vector<Case> cases;
    cases.push_back({ "a filled rectangle turned 30 degrees",
        MakeRect({ 100, 100 }, 40, 20, SurfaceOf(0, true), turned), 1, 8.0, false });
    cases.push_back({ "a pen-less closed path",
        MakePath(StraightEntries({ { 0, 0 }, { 100, 0 }, { 100, 50 } }), StoredSurface(0, false), true), 1,
        25.0, false });
    cases.push_back({ "a filled, outlined path",
        MakePath(StraightEntries({ { 0, 0 }, { 100, 0 }, { 100, 50 } }), SurfaceOf(4, true), true), 1, 25.0,
        true });
    cases.push_back({ "an ellipse of unequal axes", MakeEllipse({ 100, 100 }, 40, 20, SurfaceOf(0, true)), 1,
        std::numbers::pi * 8, false });
    for (Case& c : cases) {
        TVeskPart root;
        root.Add(*c.object);
        const QByteArray file = WriteX2(root, component->index, QStringLiteral("component"));
        const auto regions = Regions(file);
        ASSERT_EQ(regions.size(), c.regions) << c.what;
        // nm² to mm²; curves flattened to 0.025 mm lose little area.
        EXPECT_NEAR(Area(regions[0]) * 1e-12, c.areaMm2, c.areaMm2 * 0.01) << c.what;
        EXPECT_FALSE(file.contains("%ADD10O")) << c.what;
        // Only the outline pen is ever selected: no hatch.
        EXPECT_EQ(file.count("\nD1"), c.strokes ? 1 : 0) << c.what;
    }
}

// A ring: the hole is joined to the outline by a cut-in, so the one region
// leaves the middle open without clearing anything beneath it; an island
// in the hole is a region of its own.
TEST(GerberX2, HolesAreCutInsAndIslandsRegionsOfTheirOwn)
{
    const auto square = [](GraphicsPath& p, float x, float y, float side) {
        p.AddRectangle({ x, y, side, side });
    };
    struct Case {
        const char* what;
        FillMode mode;
        std::vector<RectF> squares;
        size_t regions;
        double areaUnits;
        std::vector<PointF> open;
        std::vector<PointF> dark;
    };
    const Case cases[] = {
        { "ring", FillMode::Alternate, { { 0, 0, 100, 100 }, { 25, 25, 50, 50 } }, 1, 10000 - 2500,
            { { 50, 50 } }, { { 10, 50 }, { 90, 50 }, { 50, 10 } } },
        { "island in a hole", FillMode::Alternate,
            { { 0, 0, 100, 100 }, { 20, 20, 60, 60 }, { 40, 40, 20, 20 } }, 2, 10000 - 3600 + 400,
            { { 30, 50 } }, { { 50, 50 }, { 10, 10 } } },
        { "two holes", FillMode::Alternate, { { 0, 0, 100, 100 }, { 10, 10, 20, 20 }, { 60, 60, 20, 20 } }, 1,
            10000 - 800, { { 20, 20 }, { 70, 70 } }, { { 50, 50 } } },
        { "overlapping squares under the winding rule", FillMode::Winding,
            { { 0, 0, 60, 60 }, { 40, 40, 60, 60 } }, 1, 2 * 3600 - 400, { { 90, 10 } },
            { { 50, 50 }, { 10, 10 }, { 90, 90 } } },
    };
    for (const Case& c : cases) {
        GraphicsPath path(c.mode);
        for (const RectF& r : c.squares)
            square(path, r.X, r.Y, r.Width);
        std::vector<THatchFigure> figures = TPreConvPath::SplitFigures(path);
        const auto contours = TPreConvRegion::Contours(figures, c.mode);
        ASSERT_EQ(contours.size(), c.regions) << c.what;
        double area = 0;
        for (const auto& contour : contours)
            area += Area(contour);
        EXPECT_NEAR(area * 1e-10, c.areaUnits, 1e-6) << c.what;
        const auto dark = [&](PointF p) {
            int w = 0;
            for (const auto& contour : contours)
                w += Winding(contour, double(p.X) * 1e5, -double(p.Y) * 1e5) != 0;
            return w > 0;
        };
        for (const PointF p : c.open)
            EXPECT_FALSE(dark(p)) << c.what << ": " << p.X << ", " << p.Y;
        for (const PointF p : c.dark)
            EXPECT_TRUE(dark(p)) << c.what << ": " << p.X << ", " << p.Y;
    }
}

// Clear polarity for the counter would also clear the copper beneath it.
TEST_F(GerberTest, X2HolesNeverClearWhatLiesBeneath)
{
    TVeskPart root;
    root.Add(*MakeRect({ 50, 50 }, 100, 100, SurfaceOf(0, true)));
    GraphicsPath ring(FillMode::Alternate);
    ring.AddRectangle({ 0, 0, 100, 100 });
    ring.AddRectangle({ 25, 25, 50, 50 });
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TGerber_ostream out(buffer, TGerberFormat::X2);
    root.WriteGerber(out, component->index);
    out.AddPath(nullptr, ring, true);
    ASSERT_TRUE(out.WriteFile());
    EXPECT_FALSE(bytes.contains("%LPC*%"));
    EXPECT_EQ(Regions(bytes).size(), 1u);
}

TEST_F(GerberTest, X2CutOutsAreClearInDrawingOrder)
{
    TVeskPart root;
    root.Add(*MakeRect({ 50, 50 }, 40, 40, SurfaceOf(0, true)));
    root.Add(*MakePath(
        StraightEntries({ { 40, 40 }, { 60, 40 }, { 60, 60 } }), TVeskSurface(0, true, true, 4), true));
    const QByteArray file = WriteX2(root, component->index, QStringLiteral("component"));
    const qsizetype flash = file.indexOf("D03*"), clear = file.indexOf("%LPC*%\nG36*"),
                    dark = file.lastIndexOf("%LPD*%");
    EXPECT_GT(flash, 0);
    EXPECT_GT(clear, flash);
    EXPECT_GT(dark, clear);
    EXPECT_TRUE(file.endsWith("G37*\n%LPD*%\nM02*\n")) << file.toStdString();
}

// The classic output stays as it was; X2 is only an option.
TEST_F(GerberTest, BothFormatsFromTheExportOptions)
{
    TVeskPart root;
    root.Add(*MakeEllipse({ 50, 50 }, 5, 5, SurfaceOf(0, true)));
    for (const TGerberFormat format : { TGerberFormat::Rs274x, TGerberFormat::X2 }) {
        QTemporaryDir dir;
        TGerberExportOptions options;
        options.format = format;
        options.creationDate = kWhen;
        const TGerberExportResult r = ExportFiles(root, layers, { component->index }, dir.path(), options);
        ASSERT_TRUE(r.AllWritten());
        QFile f(r.layers[0].fileName);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        EXPECT_EQ(text.startsWith("G75*\nG71*\n"), format == TGerberFormat::Rs274x);
        EXPECT_EQ(text.startsWith("G04 #@! TF.GenerationSoftware,"), format == TGerberFormat::X2);
        EXPECT_TRUE(
            text.contains(format == TGerberFormat::X2 ? "X5000000Y-5000000D03*" : "X005000Y005000D03*"));
        EXPECT_FALSE(r.drill.has_value());
    }
}

} // namespace
} // namespace vesk::test
