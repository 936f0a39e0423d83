#include "Starterlibrary.h"

#include "geometry/GraphicsPath.h"
#include "gerber/Drillexport.h"
#include "io/Veskdocument.h"
#include "io/Veskpartfile.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <set>

using namespace vesk;

namespace {

constexpr float kUnitsPerMm = 10.0f;
// Bounds come from flattened outlines, which fall short of a round end by up
// to a fortieth of a millimetre; a mistake of a tenth still shows.
constexpr float kTolerance = 0.25f;
// Centres of symmetric figures do not suffer from that: pitches hold closely.
constexpr float kPlaceTolerance = 0.02f;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file of a written set, relative to its folder, with its bytes.
std::map<QString, QByteArray> filesUnder(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = fileBytes(path);
    }
    return files;
}

const TVeskLayer* layerOf(const TVeskObject& o)
{
    const auto* instance = dynamic_cast<const TVeskInstance*>(&o);
    return instance ? instance->GetLayer() : nullptr;
}

QString layerName(const TVeskObject& o)
{
    const TVeskLayer* layer = layerOf(o);
    return layer ? layer->Name() : QString();
}

RectF boundsOf(const TVeskObject& o)
{
    RectF r;
    o.GetBounds(r);
    return r;
}

PointF centreOf(const RectF& r)
{
    return { r.X + r.Width / 2, r.Y + r.Height / 2 };
}

// Shapes of a container, groups opened, by layer name.
void addShapes(const TVeskContainer& c, std::multimap<QString, const TVeskObject*>& shapes)
{
    for (const auto& child : c.Children()) {
        if (const auto* inner = dynamic_cast<const TVeskContainer*>(child.get()))
            addShapes(*inner, shapes);
        else
            shapes.emplace(layerName(*child), child.get());
    }
}

std::multimap<QString, const TVeskObject*> shapesByLayer(const TVeskContainer& c)
{
    std::multimap<QString, const TVeskObject*> shapes;
    addShapes(c, shapes);
    return shapes;
}

// The union of the bounds of the shapes on one layer; none when it holds none.
std::optional<RectF> layerBounds(const TVeskContainer& c, const QString& layer)
{
    std::optional<RectF> all;
    const auto shapes = shapesByLayer(c);
    for (auto [it, end] = shapes.equal_range(layer); it != end; ++it)
        all = all ? RectF::Union(*all, boundsOf(*it->second)) : boundsOf(*it->second);
    return all;
}

std::set<QString> layersUsed(const TVeskContainer& c)
{
    std::set<QString> names;
    for (const auto& [name, shape] : shapesByLayer(c))
        names.insert(name);
    return names;
}

void expectSize(const std::optional<RectF>& r, double widthMm, double heightMm, const char* what)
{
    ASSERT_TRUE(r.has_value()) << what;
    EXPECT_NEAR(r->Width, widthMm * kUnitsPerMm, kTolerance) << what;
    EXPECT_NEAR(r->Height, heightMm * kUnitsPerMm, kTolerance) << what;
}

void expectCentredOnOrigin(const RectF& r, const QString& what)
{
    const PointF c = centreOf(r);
    EXPECT_NEAR(c.X, 0, kPlaceTolerance) << qPrintable(what);
    EXPECT_NEAR(c.Y, 0, kPlaceTolerance) << qPrintable(what);
}

class StarterLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new QTemporaryDir;
        result_ = new TStarterResult(WriteStarterLibrary(folder_->path()));
    }
    static void TearDownTestSuite()
    {
        delete result_;
        delete folder_;
    }
    void SetUp() override { ASSERT_TRUE(result_->ok) << qPrintable(result_->error); }

    static QString path(const QString& relative) { return folder_->path() + QLatin1Char('/') + relative; }

    static std::unique_ptr<TVeskDocument> read(const QString& relative)
    {
        auto doc = std::make_unique<TVeskDocument>();
        EXPECT_TRUE(doc->Read(path(relative))) << qPrintable(relative);
        return doc;
    }

    static QTemporaryDir* folder_;
    static TStarterResult* result_;
};

QTemporaryDir* StarterLibrary::folder_ = nullptr;
TStarterResult* StarterLibrary::result_ = nullptr;

TEST_F(StarterLibrary, EveryFileReadsBackAsAPartDocumentOfTheSameBytes)
{
    const auto files = filesUnder(folder_->path());
    ASSERT_EQ(int(files.size()), result_->files);
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(qPrintable(name));
        EXPECT_TRUE(name.startsWith(QLatin1String("pad/")) || name.startsWith(QLatin1String("lib/")));
        EXPECT_TRUE(name.endsWith(QLatin1String(".vbf")));
        // Names a user types and every file system takes.
        EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](QChar c) {
            return c.unicode() < 128 && (c.isLetterOrNumber() || QStringLiteral("/._-").contains(c));
        }));
        TVeskDocument doc;
        ASSERT_TRUE(doc.Read(path(name)));
        // The root record was read as a part: an empty root would mean it was not.
        EXPECT_GT(doc.Root().ChildCount(), 0);
        EXPECT_EQ(doc.ToBytes(), bytes);
        // Every shape lies on a layer that a new document has, but for the
        // non-plated holes, whose layer placing the part adds.
        TVeskDocument fresh;
        for (const QString& layer : layersUsed(doc.Root()))
            EXPECT_TRUE(fresh.Layers().FindLayer(layer) || layer == QLatin1String("npth"))
                << qPrintable(layer);
    }
}

TEST_F(StarterLibrary, WritesTheSameBytesOnEveryRun)
{
    QTemporaryDir again;
    ASSERT_TRUE(WriteStarterLibrary(again.path()).ok);
    EXPECT_EQ(filesUnder(again.path()), filesUnder(folder_->path()));
}

TEST_F(StarterLibrary, PadsAreCentredOnTheOriginWithMaskAndDrill)
{
    struct Case {
        const char* file;
        std::set<QString> layers;
        double width, height; // copper, mm
        double hole; // mm, 0 for none
        bool mask;
    };
    const std::set<QString> drilled { QStringLiteral("component"), QStringLiteral("solder"),
        QStringLiteral("stop_cmp"), QStringLiteral("stop_sol"), QStringLiteral("hole") };
    const std::set<QString> surface { QStringLiteral("component"), QStringLiteral("stop_cmp") };
    const std::set<QString> tented { QStringLiteral("component"), QStringLiteral("solder"),
        QStringLiteral("hole") };
    const Case cases[] = {
        { "round_1.2_0.6.vbf", drilled, 1.2, 1.2, 0.6, true },
        { "round_1.6_0.8.vbf", drilled, 1.6, 1.6, 0.8, true },
        { "round_3.0_1.0.vbf", drilled, 3.0, 3.0, 1.0, true },
        { "square_2.5_1.0.vbf", drilled, 2.5, 2.5, 1.0, true },
        { "oblong_1.6x2.4_0.8.vbf", drilled, 1.6, 2.4, 0.8, true },
        { "smd_0603.vbf", surface, 0.9, 1.0, 0, true },
        { "smd_0805.vbf", surface, 1.0, 1.4, 0, true },
        { "smd_1206.vbf", surface, 1.15, 1.8, 0, true },
        { "via_0.8_0.4.vbf", tented, 0.8, 0.8, 0.4, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto doc = read(QStringLiteral("pad/") + QLatin1String(c.file));
        const TVeskPart& root = doc->Root();
        EXPECT_EQ(layersUsed(root), c.layers);
        for (const char* copper : { "component", "solder" })
            if (c.layers.count(QLatin1String(copper)))
                expectSize(layerBounds(root, QLatin1String(copper)), c.width, c.height, copper);
        // The opening clears the copper by 0.1 mm all round.
        for (const char* mask : { "stop_cmp", "stop_sol" })
            if (c.layers.count(QLatin1String(mask)))
                expectSize(layerBounds(root, QLatin1String(mask)), c.width + 0.2, c.height + 0.2, mask);
        if (c.hole > 0)
            expectSize(layerBounds(root, QStringLiteral("hole")), c.hole, c.hole, "hole");
        for (const QString& layer : c.layers)
            expectCentredOnOrigin(*layerBounds(root, layer), layer);
    }
}

// A part's pads: the groups of the root, named by pin, where their copper is.
std::map<int, RectF> pinsOf(const TVeskPart& root)
{
    std::map<int, RectF> pins;
    for (const auto& child : root.Children()) {
        const auto* group = dynamic_cast<const TVeskGroup*>(child.get());
        if (!group)
            continue;
        bool numbered = false;
        const int pin = group->GetName().toInt(&numbered);
        EXPECT_TRUE(numbered) << qPrintable(group->GetName());
        EXPECT_FALSE(pins.count(pin)) << "pin " << pin << " twice";
        if (auto copper = layerBounds(*group, QStringLiteral("component")))
            pins[pin] = *copper;
    }
    return pins;
}

TEST_F(StarterLibrary, PartsHaveTheirStandardPitchesAndRows)
{
    // From pin a to pin b, in millimetres, y downwards.
    struct Step {
        int from, to;
        double dx, dy;
    };
    // Where the part is held: the centre of its pads, or its first lead.
    enum Origin { Centred, AtPin1 };
    struct Case {
        const char* part;
        int pins;
        Step pitch;
        Step across;
        double hole; // 0 for a surface part
        Origin origin;
        // Pin 1 a whole number of 1.27 mm steps from the origin, so that it
        // lands on the grid the part is placed on.
        bool onGrid;
        double slot = 0; // the length of a slotted pin's drill
        double npth = 0; // a hole without copper, and where it is
        PointF npthAt = {};
    };
    const Case cases[] = {
        { "DIP/DIP-8.vbf", 8, { 1, 2, 0, 2.54 }, { 1, 8, 7.62, 0 }, 0.8, Centred, true },
        { "DIP/DIP-20.vbf", 20, { 1, 2, 0, 2.54 }, { 1, 20, 7.62, 0 }, 0.8, Centred, true },
        { "DIP/DIP-24.vbf", 24, { 1, 2, 0, 2.54 }, { 1, 24, 15.24, 0 }, 0.8, Centred, true },
        { "DIP/DIP-28.vbf", 28, { 13, 14, 0, 2.54 }, { 14, 15, 15.24, 0 }, 0.8, Centred, true },
        { "Header/Header_1x02.vbf", 2, { 1, 2, 2.54, 0 }, { 1, 2, 2.54, 0 }, 1.0, Centred, true },
        { "Header/Header_1x40.vbf", 40, { 1, 2, 2.54, 0 }, { 1, 40, 39 * 2.54, 0 }, 1.0, Centred, true },
        { "Header/Header_2x20.vbf", 40, { 1, 3, 2.54, 0 }, { 1, 2, 0, 2.54 }, 1.0, Centred, true },
        { "Transistor/TO-92.vbf", 3, { 1, 2, 2.54, 0 }, { 1, 3, 5.08, 0 }, 0.8, Centred, true },
        { "Transistor/TO-220.vbf", 3, { 1, 2, 2.54, 0 }, { 1, 3, 5.08, 0 }, 1.0, Centred, true },
        { "Transistor/TO-220_Horizontal.vbf", 3, { 1, 2, 2.54, 0 }, { 1, 3, 5.08, 0 }, 1.0, Centred, true, 0,
            3.2, { 0, -165.1f } },
        { "Transistor/SOT-23.vbf", 3, { 1, 2, 1.9, 0 }, { 1, 3, 0.95, -2.2 }, 0, Centred, false },
        { "SOIC/SOIC-8.vbf", 8, { 1, 2, 0, 1.27 }, { 1, 8, 5.4, 0 }, 0, Centred, false },
        { "SOIC/SOIC-16.vbf", 16, { 7, 8, 0, 1.27 }, { 8, 9, 5.4, 0 }, 0, Centred, false },
        { "Resistor/R_0603.vbf", 2, { 1, 2, 1.6, 0 }, { 1, 2, 1.6, 0 }, 0, Centred, false },
        { "Capacitor/C_1206.vbf", 2, { 1, 2, 2.9, 0 }, { 1, 2, 2.9, 0 }, 0, Centred, false },
        { "Resistor/R_Axial_10.16.vbf", 2, { 1, 2, 10.16, 0 }, { 1, 2, 10.16, 0 }, 0.8, Centred, true },
        { "Capacitor/C_Axial_10.16.vbf", 2, { 1, 2, 10.16, 0 }, { 1, 2, 10.16, 0 }, 0.8, Centred, true },
        { "Capacitor/CP_Radial_D5.0_P2.0.vbf", 2, { 1, 2, 2.0, 0 }, { 1, 2, 2.0, 0 }, 0.8, AtPin1, true },
        { "Capacitor/CP_Radial_D5.0_P2.5.vbf", 2, { 1, 2, 2.5, 0 }, { 1, 2, 2.5, 0 }, 0.8, AtPin1, true },
        { "Capacitor/CP_Radial_D6.3_P2.5.vbf", 2, { 1, 2, 2.5, 0 }, { 1, 2, 2.5, 0 }, 0.8, AtPin1, true },
        { "Capacitor/CP_Radial_D10.0_P5.0.vbf", 2, { 1, 2, 5.0, 0 }, { 1, 2, 5.0, 0 }, 1.0, AtPin1, true },
        { "LED/LED_3mm.vbf", 2, { 1, 2, 2.54, 0 }, { 1, 2, 2.54, 0 }, 0.8, Centred, true },
        { "LED/LED_5mm.vbf", 2, { 1, 2, 2.54, 0 }, { 1, 2, 2.54, 0 }, 0.9, Centred, true },
        { "Switch/SW_Tactile_6x6.vbf", 4, { 1, 2, 6.5, 0 }, { 1, 3, 0, 4.5 }, 1.0, AtPin1, true },
        { "Connector/TerminalBlock_1x02_P5.08.vbf", 2, { 1, 2, 5.08, 0 }, { 1, 2, 5.08, 0 }, 1.3, Centred,
            true },
        { "Connector/TerminalBlock_1x03_P5.08.vbf", 3, { 1, 2, 5.08, 0 }, { 1, 3, 10.16, 0 }, 1.3, Centred,
            true },
        { "Crystal/Crystal_HC-49U.vbf", 2, { 1, 2, 4.88, 0 }, { 1, 2, 4.88, 0 }, 0.8, AtPin1, true },
        { "Connector/DC_Jack_5.5x2.1.vbf", 3, { 1, 2, -6.0, 0 }, { 1, 3, -3.0, 4.7 }, 1.0, AtPin1, true,
            3.0 },
        { "Mounting/MountingHole_M2_PTH.vbf", 1, { 1, 1, 0, 0 }, { 1, 1, 0, 0 }, 2.2, Centred, true },
        { "Mounting/MountingHole_M3_PTH.vbf", 1, { 1, 1, 0, 0 }, { 1, 1, 0, 0 }, 3.2, Centred, true },
        { "Mounting/MountingHole_M2_NPTH.vbf", 0, {}, {}, 0, Centred, true, 0, 2.2 },
        { "Mounting/MountingHole_M2.5_NPTH.vbf", 0, {}, {}, 0, Centred, true, 0, 2.7 },
        { "Mounting/MountingHole_M3_NPTH.vbf", 0, {}, {}, 0, Centred, true, 0, 3.2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        const auto doc = read(QStringLiteral("lib/") + QLatin1String(c.part));
        const TVeskPart& root = doc->Root();
        const std::set<QString> layers = layersUsed(root);
        EXPECT_TRUE(layers.count(QStringLiteral("place_cmp"))) << "no outline";
        EXPECT_EQ(layers.count(QStringLiteral("solder")), c.hole > 0 ? 1u : 0u);

        // A hole without copper lies on "npth", which the file brings as a cut-out like "hole".
        EXPECT_EQ(layers.count(QStringLiteral("npth")), c.npth > 0 ? 1u : 0u);
        if (c.npth > 0) {
            const auto npth = layerBounds(root, QStringLiteral("npth"));
            expectSize(npth, c.npth, c.npth, "npth");
            EXPECT_NEAR(centreOf(*npth).X, c.npthAt.X, kPlaceTolerance);
            EXPECT_NEAR(centreOf(*npth).Y, c.npthAt.Y, kPlaceTolerance);
            EXPECT_TRUE(doc->Layers().FindLayer(QStringLiteral("npth"))->mask);
        }

        const std::map<int, RectF> pins = pinsOf(root);
        ASSERT_EQ(int(pins.size()), c.pins);
        if (c.pins == 0) {
            EXPECT_EQ(layers.count(QStringLiteral("component")), 0u) << "no copper";
            EXPECT_EQ(layers.count(QStringLiteral("hole")), 0u) << "nothing plated";
            continue;
        }
        EXPECT_EQ(pins.begin()->first, 1);
        EXPECT_EQ(pins.rbegin()->first, c.pins);
        for (const Step& s : { c.pitch, c.across }) {
            const PointF a = centreOf(pins.at(s.from)), b = centreOf(pins.at(s.to));
            EXPECT_NEAR(b.X - a.X, s.dx * kUnitsPerMm, kPlaceTolerance) << s.from << " to " << s.to;
            EXPECT_NEAR(b.Y - a.Y, s.dy * kUnitsPerMm, kPlaceTolerance) << s.from << " to " << s.to;
        }
        const PointF first = centreOf(pins.at(1));
        if (c.origin == Centred) {
            std::optional<RectF> pattern;
            for (const auto& [pin, copper] : pins)
                pattern = pattern ? RectF::Union(*pattern, copper) : copper;
            expectCentredOnOrigin(*pattern, QStringLiteral("pad pattern"));
        } else {
            EXPECT_NEAR(first.X, 0, kPlaceTolerance) << "held at pin 1";
            EXPECT_NEAR(first.Y, 0, kPlaceTolerance) << "held at pin 1";
        }
        if (c.onGrid)
            for (const float v : { first.X, first.Y }) {
                constexpr float grid = 1.27f * kUnitsPerMm;
                EXPECT_NEAR(v / grid, std::round(v / grid), kPlaceTolerance / grid) << "pin 1 off the grid";
            }

        if (c.hole > 0) {
            // Each pin is drilled on its copper's centre.
            for (const auto& child : root.Children())
                if (const auto* group = dynamic_cast<const TVeskGroup*>(child.get())) {
                    const auto hole = layerBounds(*group, QStringLiteral("hole"));
                    ASSERT_TRUE(hole.has_value());
                    if (c.slot > 0) {
                        EXPECT_NEAR(std::min(hole->Width, hole->Height), c.hole * kUnitsPerMm, kTolerance);
                        // The round ends fall short of the length as a circle's do of its width.
                        EXPECT_NEAR(
                            std::max(hole->Width, hole->Height), c.slot * kUnitsPerMm, 2 * kTolerance);
                    } else {
                        expectSize(hole, c.hole, c.hole, "hole");
                    }
                    const PointF h = centreOf(*hole), p = centreOf(pins.at(group->GetName().toInt()));
                    EXPECT_NEAR(h.X, p.X, kPlaceTolerance);
                    EXPECT_NEAR(h.Y, p.Y, kPlaceTolerance);
                }
        }
    }
}

// Pin 1 of a polarised part takes the square pad: the cathode of an LED, the
// positive lead of an electrolytic, the first pin of a connector.
TEST_F(StarterLibrary, PolarisedPartsMarkPin1WithASquarePad)
{
    for (const char* part : { "LED/LED_3mm.vbf", "LED/LED_5mm.vbf", "Capacitor/CP_Radial_D6.3_P2.5.vbf",
             "Connector/TerminalBlock_1x02_P5.08.vbf", "Connector/DC_Jack_5.5x2.1.vbf" }) {
        SCOPED_TRACE(part);
        const auto doc = read(QStringLiteral("lib/") + QLatin1String(part));
        std::map<int, bool> square;
        for (const auto& child : doc->Root().Children())
            if (const auto* group = dynamic_cast<const TVeskGroup*>(child.get()))
                for (const auto& shape : group->Children())
                    if (layerName(*shape) == QLatin1String("component"))
                        square[group->GetName().toInt()]
                            = dynamic_cast<const TVeskRect*>(shape.get()) != nullptr;
        ASSERT_GE(square.size(), 2u);
        EXPECT_TRUE(square[1]);
        EXPECT_FALSE(square[2]);
    }
}

// Placing a part with a non-plated hole brings its layer into a document
// without one: a cut-out like "hole", which the drill export writes into a
// file of its own and the Gerber export names as non-plated.
TEST_F(StarterLibrary, PlacingANonPlatedHoleAddsItsLayer)
{
    const auto artwork
        = TVeskPartArtwork::ReadFile(path(QStringLiteral("lib/Mounting/MountingHole_M3_NPTH.vbf")));
    ASSERT_TRUE(artwork);
    TVeskDocument doc;
    ASSERT_EQ(doc.Layers().FindLayer(QStringLiteral("npth")), nullptr);
    const int before = doc.Layers().LayerCount();
    const auto placed = artwork->PlaceOn(doc.Layers());
    ASSERT_TRUE(placed);
    EXPECT_EQ(doc.Layers().LayerCount(), before + 1);
    const TVeskLayer* npth = doc.Layers().FindLayer(QStringLiteral("npth"));
    ASSERT_NE(npth, nullptr);
    EXPECT_TRUE(npth->mask);
    EXPECT_TRUE(placed->UsesLayer(*npth));
    EXPECT_TRUE(IsNonPlatedLayer(npth->Name()));
    // A second placement finds it there.
    ASSERT_TRUE(artwork->PlaceOn(doc.Layers()));
    EXPECT_EQ(doc.Layers().LayerCount(), before + 1);
}

// Print that crosses a pad is cut away by the board house or, worse, left on
// the copper where the solder should go.
TEST_F(StarterLibrary, PrintStaysOffThePads)
{
    QDirIterator it(
        path(QStringLiteral("lib")), { QStringLiteral("*.vbf") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        SCOPED_TRACE(qPrintable(file));
        TVeskDocument doc;
        ASSERT_TRUE(doc.Read(file));
        const auto shapes = shapesByLayer(doc.Root());
        const int copper = doc.Layers().FindLayer(QStringLiteral("component"))->index;
        auto [printBegin, printEnd] = shapes.equal_range(QStringLiteral("place_cmp"));
        ASSERT_NE(printBegin, printEnd);
        for (auto [pad, padEnd] = shapes.equal_range(QStringLiteral("component")); pad != padEnd; ++pad) {
            GraphicsPath outline;
            pad->second->AddOutline(outline, copper);
            RectF bounds = boundsOf(*pad->second);
            for (auto print = printBegin; print != printEnd; ++print)
                EXPECT_FALSE(print->second->IntersectsPath(outline, bounds))
                    << "print at " << centreOf(boundsOf(*print->second)).X << ", "
                    << centreOf(boundsOf(*print->second)).Y;
        }
    }
}

TEST(StarterLibraryFolder, ReplacesOnlyItsOwnFoldersAndDropsStaleFiles)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* stale : { "pad/old.vbf", "lib/Gone/part.vbf" }) {
        QDir().mkpath(QFileInfo(root + QLatin1Char('/') + QLatin1String(stale)).path());
        QFile f(root + QLatin1Char('/') + QLatin1String(stale));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile keep(root + QStringLiteral("/vesk"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("program");
    keep.close();

    const TStarterResult result = WriteStarterLibrary(root);
    ASSERT_TRUE(result.ok) << qPrintable(result.error);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/pad/old.vbf")));
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/lib/Gone")));
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("/lib/DIP/DIP-8.vbf")));
    EXPECT_EQ(fileBytes(root + QStringLiteral("/vesk")), QByteArray("program"));
    // Nothing of the staging is left behind.
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ QStringLiteral("lib"), QStringLiteral("pad"), QStringLiteral("vesk") }));
}

TEST(StarterLibraryFolder, RefusesAFolderItCannotCreate)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TStarterResult result = WriteStarterLibrary(dir.path() + QStringLiteral("/file/starter"));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

} // namespace
