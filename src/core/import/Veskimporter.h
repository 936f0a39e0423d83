#pragma once

#include "geometry/PointF.h"
#include "shapes/Veskcontainer.h"

#include <QStringList>
#include <array>
#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace vesk {

class TVeskGroup;
class TVeskLayer;
class TVeskObject;

// What the last reading of drawing items made and what it left out.
struct TImportCounts {
    int shapes = 0; // paths, circles and squares created
    int groups = 0; // groups kept below the import root (empty ones are dropped)
    int unmapped = 0; // items dropped because their layer maps to no document layer
    int invalid = 0; // items dropped for a bad number, an index out of range or a coordinate out of range
    int flattened = 0; // groups nested too deep, whose items went into the enclosing group
};

// Reader of drawings of the predecessor program, stored as text (".pcb"):
// a run of white-space separated words holding the format version, the
// file's layers ("[LayerDef]"), the flash size and line width tables
// ("[FlshDef]", "[LineDef]") and the drawing items ("[DrawItems]"). Reading
// happens in two steps on one stream, which only ever moves forward: the
// definitions first, so that the user can map the file's layers onto the
// document's, then the items, which become one new group of paths, circles
// and squares on the mapped layers. File millimetres with y up become
// document tenths of a millimetre with y down.
//
// Words are split into fields at ':', ',' and '='; numbers in item fields
// must fill their whole field. An item with a bad number, an index outside
// the file's layers or the tables, or a coordinate beyond single precision
// is dropped on its own; an item on an unmapped layer is dropped too.
// Names are CP932 bytes.
class TVeskImporter {
public:
    static constexpr int kTableSize = 256;
    // Groups below the import group, which itself lies in the document's
    // root: deeper groups are merged into the group at this depth, so that an
    // import never nests deeper than a document may and always reads back.
    static constexpr int kMaxGroupDepth = TVeskContainer::kMaxNesting - 1;
    using Table = std::array<double, kTableSize>;

    TVeskImporter();
    ~TVeskImporter();
    TVeskImporter(const TVeskImporter&) = delete;
    TVeskImporter& operator=(const TVeskImporter&) = delete;

    // Keeps the stream (borrowed until CloseInput) and reads the version, the
    // layers and both tables. Replaces everything an earlier call read.
    void ReadDefinitions(std::istream& input);
    // Reads the drawing items into a new group owned by the caller. Set the
    // layer map first. Without definitions read, or without "[DrawItems]",
    // the group is empty.
    std::unique_ptr<TVeskGroup> ReadItems();
    // Closes the input when it is a file (a failure to close fails the
    // stream) and lets it go.
    void CloseInput();

    // -1.0 when the file named none.
    double Version() const { return version_; }
    const QStringList& LayerNames() const { return layerNames_; }
    // One entry per file layer, null for a layer whose items are dropped.
    const std::vector<TVeskLayer*>& LayerMap() const { return layerMap_; }
    // Ignored for a row that is not a file layer.
    void MapLayer(int fileLayer, TVeskLayer* layer);
    // Document units.
    const Table& LineWidths() const { return lineWidths_; }
    const Table& FlashSizes() const { return flashSizes_; }
    // 1.0 to 9.5 in steps of 0.5, then 10 to 247 in steps of 1, in document units.
    static Table DefaultTable();
    // Whether the last ReadDefinitions found the "[LayerDef]" section.
    bool FoundLayerSection() const { return foundLayerSection_; }
    // Whether the last ReadItems found the "[DrawItems]" section.
    bool FoundItemSection() const { return foundItemSection_; }
    const TImportCounts& Counts() const { return counts_; }

private:
    using Fields = std::vector<std::string>;
    enum class Outcome { Created, Unmapped, Invalid };

    bool nextWord(std::string& word);
    // Reads words up to and including the marker; false at the end of the input.
    bool skipTo(const char* marker);
    void readVersion();
    void readLayerDef();
    void readTable(const char* marker, Table& table);
    void readItem(const Fields& fields);
    Outcome readLine(const Fields& fields);
    Outcome readLand(const Fields& fields);
    Outcome readFlash(const Fields& fields);
    // What a land and a flash share: layer, centre, and half the size taken
    // from `sizes` (10, a 2 mm pad, when the item names none).
    struct Placement {
        TVeskLayer* layer = nullptr;
        PointF centre;
        double half = 10.0;
    };
    Outcome readPlacement(const Fields& fields, const Table& sizes, Placement& out);
    void beginGroup();
    void endGroup();
    void closeGroup();
    void add(std::unique_ptr<TVeskObject> object);

    // Number conversion of one whole field; throws boost::bad_lexical_cast.
    // The checked ones clear `valid` on a value they refuse.
    float coordinate(const std::string& field, float scale, bool& valid) const;
    TVeskLayer* layer(const std::string& field, bool& valid) const;
    double tableEntry(const Table& table, const std::string& field, bool& valid) const;

    double version_ = -1.0;
    std::istream* input_ = nullptr;
    Table lineWidths_;
    Table flashSizes_;
    QStringList layerNames_;
    std::vector<TVeskLayer*> layerMap_;
    std::deque<std::unique_ptr<TVeskGroup>> groupStack_;
    // GROUP words past the depth limit whose ENDGR is still to come.
    int pendingFlattened_ = 0;
    bool foundLayerSection_ = false;
    bool foundItemSection_ = false;
    TImportCounts counts_;
};

} // namespace vesk
