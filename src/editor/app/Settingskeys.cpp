#include "Settingskeys.h"

#include "Settingsfile.h"

namespace vesk {

namespace {
const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
} // namespace

TWindowPlacement ReadPlacement(const TSettingsFile& file, const TPlacementSection& section)
{
    const QString name = section.Name();
    TWindowPlacement p = section.defaults;
    p.top = file.ReadInteger(name, kTop, p.top);
    p.left = file.ReadInteger(name, kLeft, p.left);
    if (section.hasSize) {
        p.width = file.ReadInteger(name, kWidth, p.width);
        p.height = file.ReadInteger(name, kHeight, p.height);
    }
    return p;
}

bool PlacementStored(const TSettingsFile& file, const TPlacementSection& section)
{
    return file.ValueExists(section.Name(), kTop) && file.ValueExists(section.Name(), kLeft);
}

void WritePlacement(TSettingsFile& file, const TPlacementSection& section, const TWindowPlacement& placement)
{
    const QString name = section.Name();
    file.WriteInteger(name, kTop, placement.top);
    file.WriteInteger(name, kLeft, placement.left);
    if (section.hasSize) {
        file.WriteInteger(name, kWidth, placement.width);
        file.WriteInteger(name, kHeight, placement.height);
    }
}

double ReadDefaultGridPitch(const TSettingsFile& file, double fallback)
{
    const double pitch = 10.0
        * file.ReadFloat(settings::Key(settings::kStatusTab), settings::Key(settings::kDefaultGrid),
            settings::kDefaultGridDefault);
    return pitch > 0.0 && pitch < 1000.0 ? pitch : fallback;
}

} // namespace vesk
