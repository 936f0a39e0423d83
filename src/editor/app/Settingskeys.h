#pragma once

#include <QString>

namespace vesk {

class TSettingsFile;

// Position and size of a window as the settings file keeps them (pixels).
struct TWindowPlacement {
    int top = 100;
    int left = 100;
    int width = 0;
    int height = 0;
    bool operator==(const TWindowPlacement&) const = default;
};

// A window's section of "VeskV.ini" with the values a missing key takes.
// Windows without a size of their own (the tool bar) have hasSize false.
struct TPlacementSection {
    const char16_t* name;
    TWindowPlacement defaults;
    bool hasSize = true;

    QString Name() const { return QString::fromUtf16(name); }
};

// Every section and key of the settings file, with its default.
namespace settings {

inline constexpr TPlacementSection kMainWindow { u"MainWindow", { 100, 100, 677, 509 } };
inline constexpr TPlacementSection kLayerWindow { u"LayerWindow", { 100, 100, 205, 300 } };
inline constexpr TPlacementSection kToolWindow { u"ToolWindow", { 100, 100, 0, 0 }, false };
inline constexpr TPlacementSection kLibraryWindow { u"LibraryWindow", { 100, 100, 414, 328 } };
inline constexpr TPlacementSection kObjectEditor { u"ObjectEditor", { 100, 100, 204, 203 } };
inline constexpr TPlacementSection kLayerSwapWindow { u"LayerSwapWindow", { 215, 371, 411, 414 } };
inline constexpr TPlacementSection kVeskImportWindow { u"VeskImportWindow", { 215, 371, 411, 414 } };
inline constexpr TPlacementSection kWorkArea { u"WorkArea", { 100, 100, 240, 145 } };

// "MainWindow": 0 normal, 1 minimised, 2 maximised; size keys only in the normal state.
inline constexpr char16_t kWindowState[] = u"WindowState";
inline constexpr int kWindowStateDefault = 0;

// "WorkArea": size of the board frame in document units (0.1 mm).
inline constexpr char16_t kAreaWidth[] = u"AreaWidth";
inline constexpr char16_t kAreaHeight[] = u"AreaHeight";
inline constexpr int kAreaWidthDefault = 1000;
inline constexpr int kAreaHeightDefault = 750;

// "VeskImportWindow": Layer0, Layer1, ... destination layer per mapping row.
inline constexpr char16_t kImportLayerPrefix[] = u"Layer";

// "GerberExport": the file format (0 the classic RS-274X, 1 Gerber X2) and
// whether the drill file is written too; both remembered from the last export.
inline constexpr char16_t kGerberExport[] = u"GerberExport";
inline constexpr char16_t kGerberFormat[] = u"Format";
inline constexpr char16_t kGerberDrillFile[] = u"DrillFile";

// "DesignRules": the rules of the design-rule check in millimetres, and the
// layers it checks as copper (CopperLayer0, CopperLayer1, ...).
inline constexpr char16_t kDesignRules[] = u"DesignRules";
inline constexpr char16_t kRuleClearance[] = u"Clearance";
inline constexpr char16_t kRuleWidth[] = u"Width";
inline constexpr char16_t kRuleRing[] = u"Ring";
inline constexpr char16_t kRuleHoleGap[] = u"HoleGap";
inline constexpr char16_t kRuleEdge[] = u"Edge";
inline constexpr char16_t kCopperLayerPrefix[] = u"CopperLayer";

// "AutoSave": minutes between autosaves of unsaved work (0 off, fractions
// allowed) and whether a save keeps the replaced file as ".bak" (1) or not (0).
inline constexpr char16_t kAutoSave[] = u"AutoSave";
inline constexpr char16_t kAutoSaveMinutes[] = u"Minutes";
inline constexpr double kAutoSaveMinutesDefault = 1.0;
inline constexpr char16_t kAutoSaveBackup[] = u"Backup";
inline constexpr int kAutoSaveBackupDefault = 1;

// Read-only preset lists in millimetres: "SurfaceTab" Width0.., "StatusTab" Grid0.. and DefaultGrid.
inline constexpr char16_t kSurfaceTab[] = u"SurfaceTab";
inline constexpr char16_t kWidthPrefix[] = u"Width";
inline constexpr char16_t kStatusTab[] = u"StatusTab";
inline constexpr char16_t kGridPrefix[] = u"Grid";
inline constexpr char16_t kDefaultGrid[] = u"DefaultGrid";
inline constexpr double kDefaultGridDefault = 1.27;

inline QString Key(const char16_t* key)
{
    return QString::fromUtf16(key);
}

} // namespace settings

// Top and Left, then Width and Height when the section has a size.
TWindowPlacement ReadPlacement(const TSettingsFile& file, const TPlacementSection& section);
// Whether the settings file holds a position for the window: false on a first start.
bool PlacementStored(const TSettingsFile& file, const TPlacementSection& section);
void WritePlacement(TSettingsFile& file, const TPlacementSection& section, const TWindowPlacement& placement);

// The grid pitch in document units that "DefaultGrid" asks for; the fallback
// unless ten times the value lies strictly between 0 and 1000.
double ReadDefaultGridPitch(const TSettingsFile& file, double fallback);

} // namespace vesk
