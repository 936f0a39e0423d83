#include "GerberTestSupport.h"
#include "gerber/Excellonwriter.h"
#include "gerber/Gerberbody.h"
#include "shapes/Veskpart.h"

#include <limits>

namespace vesk::test {
namespace {

TEST_F(GerberTest, WorkedExampleFileLineForLine)
{
    TVeskPart root;
    root.Add(*MakePath(
        StraightEntries({ { 10, 10 }, { 20, 10 }, { 20, 20 }, { 10, 20 } }), SurfaceOf(2, false, 2), true));
    EXPECT_EQ(WriteLayer(root, component->index, QStringLiteral("component")),
        "G75*\n"
        "G71*\n"
        "%OFA0B0*%\n"
        "%FSLAX33Y33*%\n"
        "%IPPOS*%\n"
        "%LPD*%\n"
        "%LNcomponent*%\n"
        "%MIA0B1*%\n"
        "%ADD10C,0.200*%\n"
        "G54D10*\n"
        "X001000Y001000D02*\n"
        "X002000Y001000D01*\n"
        "X002000Y002000D01*\n"
        "X001000Y002000D01*\n"
        "X001000Y001000D01*\n"
        "M02*\n");
}

// Every format rounds to its own unit, from the value as typed: a pin on the
// 2.54 mm grid lands on the same micrometre in the Gerber and the drill file.
TEST_F(GerberTest, CoordinatesRoundToTheNearestUnitOfEachFormat)
{
    struct Case {
        float documentUnits;
        std::int64_t classic; // micrometres
        std::int64_t x2; // nanometres
        const char* drill; // millimetres as the drill file writes them
    };
    const Case cases[] = {
        { 215.9f, 21590, 21590000, "21.590" }, // 8.5 pitches: truncation wrote 21589
        { 101.6f, 10160, 10160000, "10.160" }, { 25.4f, 2540, 2540000, "2.540" },
        { 6.35f, 635, 635000, "0.635" }, { 0.0049f, 0, 490, "0.000" }, // below half a micrometre
        { 0.0051f, 1, 510, "0.001" }, // above it
        { -215.9f, -21590, -21590000, "-21.590" },
        { 9999.994f, 999999, 999999400, "999.999" }, // the last micrometre of the classic range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.documentUnits);
        std::int64_t classic = 0, x2 = 0, x2y = 0;
        ASSERT_TRUE(TGerberBody::CoordinateNumber(c.documentUnits, classic));
        EXPECT_EQ(classic, c.classic);
        ASSERT_TRUE(TGerberBody::X2CoordinateNumbers({ c.documentUnits, -c.documentUnits }, x2, x2y));
        EXPECT_EQ(x2, c.x2);
        EXPECT_EQ(x2y, c.x2) << "y is negated";
        TExcellonWriter drill(true);
        drill.AddHit({ c.documentUnits, 0 }, 8);
        EXPECT_TRUE(drill.Text({}).contains("\nX" + QByteArray(c.drill) + "Y0.000\n"))
            << drill.Text({}).toStdString();
    }
    std::int64_t n = 0;
    EXPECT_FALSE(TGerberBody::CoordinateNumber(9999.996f, n)) << "rounds up out of the classic range";

    TVeskPart root;
    root.Add(*MakePath(
        StraightEntries({ { 215.9f, 101.6f }, { 228.6f, 101.6f } }), SurfaceOf(2, false, 2), false));
    const QByteArray file = WriteLayer(root, component->index, {});
    EXPECT_TRUE(file.contains("\nX021590Y010160D02*\nX022860Y010160D01*\n")) << file.toStdString();
}

TEST_F(GerberTest, LayerWithoutObjectsGivesTheHeaderAndTheEnd)
{
    TVeskPart root;
    const QByteArray header = "G75*\nG71*\n%OFA0B0*%\n%FSLAX33Y33*%\n%IPPOS*%\n%LPD*%\n";
    EXPECT_EQ(
        WriteLayer(root, solder->index, QStringLiteral("solder")), header + "%LNsolder*%\n%MIA0B1*%\nM02*\n");
    EXPECT_EQ(WriteLayer(root, solder->index, QString()), header + "%MIA0B1*%\nM02*\n")
        << "no %LN for an empty name";
}

TEST_F(GerberTest, ASelectionIsWrittenAgainForEveryObject)
{
    TVeskPart root;
    root.Add(*MakeRect({ 10, 10 }, 4, 4, SurfaceOf(0, true)));
    root.Add(*MakeRect({ 20, 10 }, 4, 4, SurfaceOf(0, true)));
    const QByteArray file = WriteLayer(root, component->index, {});
    EXPECT_TRUE(file.endsWith(
        "%ADD10P,0.566X4X45*%\nG54D10*\nX001000Y001000D03*\nG54D10*\nX002000Y001000D03*\nM02*\n"))
        << file.toStdString();
}

TEST_F(GerberTest, NegativeCoordinatesAreWrittenWithTheirSign)
{
    TVeskPart root;
    root.Add(*MakeRect({ -12.5f, -0.5f }, 4, 4, SurfaceOf(0, true)));
    const QByteArray file = WriteLayer(root, component->index, {});
    EXPECT_TRUE(file.contains("\nX-001250Y-000050D03*\n")) << file.toStdString();
}

TEST_F(GerberTest, ABodyThatCannotBeWrittenRefusesTheWholeFile)
{
    struct Case {
        const char* what;
        std::unique_ptr<TVeskObject> object;
        const char* why; // in the error
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto track = [&](float width) {
        return MakePath(
            StraightEntries({ { 0, 0 }, { 100, 0 }, { 100, 50 } }), StoredSurface(width, false), false);
    };
    const auto filled = [&](float width) {
        return MakePath(
            StraightEntries({ { 0, 0 }, { 10, 0 }, { 10, 10 } }), StoredSurface(width, true), true);
    };
    Case cases[] = {
        { "a flash 1 m to the right", MakeRect({ 10000, 10 }, 4, 4, SurfaceOf(0, true)), "coordinate range" },
        { "a filled path reaching 1 m upward",
            MakePath(StraightEntries({ { 0, 0 }, { 10, -10005 }, { 20, 0 } }), SurfaceOf(0, true), true),
            "coordinate range" },
        { "a fill with a pen too thin to hatch",
            MakePath(
                StraightEntries({ { 0, 0 }, { 1000, 0 }, { 1000, 1000 } }), StoredSurface(1e-6f, true), true),
            "hatch lines" },
        // Hatch lines closer than the file's 0.001 mm would be written on top
        // of each other, 12,500 of them for this 1 mm square.
        { "a fill with a pen of 0.0001 mm", filled(0.001f), "resolution" },
        { "a fill with a pen of 0.001 mm", filled(0.01f), "resolution" },
        { "a track of infinite width", track(inf), "aperture" },
        { "a track 1e30 wide", track(1e30f), "aperture" },
        { "a track of no number's width", track(nan), "aperture" },
        { "a track 2 m wide", track(20000), "aperture" },
        { "a fill with an infinite pen", filled(inf), "aperture" },
        { "a flash enlarged by an infinite pen", MakeRect({ 10, 10 }, 4, 4, StoredSurface(inf, true)),
            "aperture" },
        { "an ellipse flash 1e30 wide", MakeEllipse({ 10, 10 }, 1e30f, 2, SurfaceOf(0, true)), "aperture" },
    };
    for (Case& c : cases) {
        TVeskPart root;
        root.Add(*MakeRect({ 10, 10 }, 4, 4, SurfaceOf(0, true)));
        root.Add(*c.object);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        TGerber_ostream out(buffer);
        out.SetLayerName(QStringLiteral("component"));
        root.WriteGerber(out, component->index);
        EXPECT_FALSE(out.WriteFile()) << c.what;
        EXPECT_TRUE(out.Failed()) << c.what;
        EXPECT_TRUE(bytes.isEmpty()) << c.what << ": nothing at all is written, never an exponent";
        EXPECT_TRUE(out.ErrorString().contains(QLatin1String(c.why)))
            << c.what << ": " << out.ErrorString().toStdString();
    }
}

// The narrowest and widest pens a file holds still write.
TEST_F(GerberTest, PensWithinTheFilesRangeAreWritten)
{
    TVeskPart root;
    root.Add(*MakePath(StraightEntries({ { 0, 0 }, { 100, 0 } }), StoredSurface(0.01f, false), false));
    root.Add(
        *MakePath(StraightEntries({ { 0, 0 }, { 10, 0 }, { 10, 10 } }), StoredSurface(0.02f, true), true));
    root.Add(*MakePath(StraightEntries({ { 0, 0 }, { 100, 0 } }), StoredSurface(19999, false), false));
    const QByteArray file = WriteLayer(root, component->index, {});
    EXPECT_TRUE(file.contains("%ADD10C,0.001*%\n%ADD11C,0.002*%\n%ADD12C,1999.900*%\n"))
        << file.left(300).toStdString();
}

// A device that accepts a number of bytes and then fails every write.
class ShortDevice : public QIODevice {
public:
    explicit ShortDevice(qint64 room)
        : room_(room)
    {
    }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override
    {
        if (room_ <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(n, room_);
        written.append(data, taken);
        room_ -= taken;
        return taken;
    }

private:
    qint64 room_;
};

TEST_F(GerberTest, AFailedWriteIsReportedAndTheStreamStaysFailed)
{
    TVeskPart root;
    root.Add(*MakeRect({ 10, 10 }, 4, 4, SurfaceOf(0, true)));
    // Full at the start, in the header, the definitions, the body and the end record.
    for (qint64 room : { 0, 20, 70, 95, 110 }) {
        ShortDevice device(room);
        device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        TGerber_ostream out(device);
        EXPECT_EQ(root.WriteGerber(out, component->index), 0);
        EXPECT_FALSE(out.WriteFile()) << room;
        EXPECT_TRUE(out.Failed()) << room;
        EXPECT_EQ(out.ErrorString(), QStringLiteral("No space left on device")) << room;
        EXPECT_EQ(root.WriteGerber(out, component->index), -1) << room;
    }
}

TEST(GerberWriter, AStreamOnAFileNotOpenForWritingHasFailed)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    TGerber_ostream out(readOnly);
    EXPECT_TRUE(out.Failed());
    EXPECT_FALSE(out.WriteFile());
    EXPECT_FALSE(out.ErrorString().isEmpty());
}

TEST(GerberWriter, LayerNameRecordKeepsTheNameButNotTheRecordDelimiters)
{
    struct Case {
        QString name;
        QByteArray record;
    } cases[] = {
        { QStringLiteral("component"), "%LNcomponent*%\n" },
        { QStringLiteral("a*b%c"), "%LNa_b_c*%\n" },
        { QStringLiteral("two\nlines\t"), "%LNtwo_lines_*%\n" },
        { QStringLiteral("../x/y"), "%LN../x/y*%\n" },
        { QStringLiteral("シルク"), QByteArray("%LN\x83\x56\x83\x8B\x83\x4E*%\n") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TGerber_ostream::LayerNameRecord(c.name), c.record) << c.name.toStdString();
}

} // namespace
} // namespace vesk::test
