#pragma once

#include "Veskimporter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <istream>
#include <memory>
#include <optional>

namespace vesk {

class TVeskLayerList;
class TVeskObject;
class TVeskPart;

// The choices of one legacy import, kept apart from the dialog that shows
// them: the file's layers as rows, and for each row the name of the document
// layer that receives its items. Destinations belong to row positions, not
// to layer names, and outlive a single import: the next file shows in row i
// what was chosen for row i before, and the dialog stores them in the
// settings file between runs under "Layer0", "Layer1", ... A destination is
// looked up by exact, case-sensitive name; an empty or unknown one drops
// that row's items. The import lands in the document as one new group.
class TVeskImportMapping {
public:
    TVeskImportMapping();
    ~TVeskImportMapping();
    TVeskImportMapping(const TVeskImportMapping&) = delete;
    TVeskImportMapping& operator=(const TVeskImportMapping&) = delete;

    // Settings key of a row's destination: "Layer" and the row in decimal.
    static QString RowKey(int row);
    // Reads destinations for rows 0, 1, ... until the first key the lookup does not know.
    void LoadDestinations(const std::function<std::optional<QString>(const QString& key)>& lookup);
    // Stores the destination of every current row.
    void SaveDestinations(const std::function<void(const QString& key, const QString& value)>& store) const;

    // Closes any earlier input, opens the file from its start and reads its
    // definitions; the rows become the file's layers, and the destinations
    // are fitted to them (kept by position, new rows empty, surplus dropped).
    // False when the file cannot be opened or defines no layer (it is not a
    // legacy drawing): there are no rows then, Import adds nothing, and the
    // remembered destinations stay as they were.
    bool Open(const QString& fileName);
    // As Open, on a stream already open (owned from now on).
    bool Begin(std::unique_ptr<std::istream> input);
    // Rows without a destination get the document layer named as the row,
    // where there is one.
    void DefaultDestinations(const TVeskLayerList& layers);

    int RowCount() const { return int(sourceNames_.size()); }
    const QStringList& SourceNames() const { return sourceNames_; }
    // One entry per row after a file was read; otherwise as loaded or last fitted.
    const QStringList& Destinations() const { return destinations_; }
    // Empty outside the rows.
    QString Destination(int row) const;
    // Ignored outside the rows.
    void SetDestination(int row, const QString& layerName);
    // The document layer a destination names: first exact match, none for "".
    static TVeskLayer* Resolve(const TVeskLayerList& layers, const QString& destination);
    // Names of the document's layers in list order, the choices offered per row.
    static QStringList PickList(const TVeskLayerList& layers);

    // Maps every row, reads the items, adds the import group to the root
    // (which stores a copy) and closes the input. Returns the root's copy,
    // or null when no item landed on a layer: an empty group could never be
    // seen, picked or deleted.
    TVeskObject* Import(const TVeskLayerList& layers, TVeskPart& root);
    // Closes the input; nothing is imported.
    void Cancel();

    const TVeskImporter& Importer() const { return importer_; }

private:
    bool readDefinitions();

    std::unique_ptr<std::istream> input_;
    TVeskImporter importer_;
    QStringList sourceNames_;
    QStringList destinations_;
};

} // namespace vesk
