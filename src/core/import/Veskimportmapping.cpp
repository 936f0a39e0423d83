#include "Veskimportmapping.h"

#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QFile>
#include <fstream>

namespace vesk {

TVeskImportMapping::TVeskImportMapping() = default;

TVeskImportMapping::~TVeskImportMapping()
{
    // The importer borrows the stream.
    importer_.CloseInput();
}

QString TVeskImportMapping::RowKey(int row)
{
    return QStringLiteral("Layer") + QString::number(row);
}

void TVeskImportMapping::LoadDestinations(
    const std::function<std::optional<QString>(const QString& key)>& lookup)
{
    destinations_.clear();
    for (int row = 0;; ++row) {
        const std::optional<QString> value = lookup(RowKey(row));
        if (!value)
            break;
        destinations_ << *value;
    }
}

void TVeskImportMapping::SaveDestinations(
    const std::function<void(const QString& key, const QString& value)>& store) const
{
    for (int row = 0; row < destinations_.size(); ++row)
        store(RowKey(row), destinations_[row]);
}

bool TVeskImportMapping::Open(const QString& fileName)
{
    importer_.CloseInput();
    // A file that cannot be opened reads as an empty one, with no rows.
    return Begin(
        std::make_unique<std::ifstream>(QFile::encodeName(fileName).toStdString(), std::ios::binary));
}

bool TVeskImportMapping::Begin(std::unique_ptr<std::istream> input)
{
    importer_.CloseInput();
    input_ = std::move(input);
    return readDefinitions();
}

bool TVeskImportMapping::readDefinitions()
{
    importer_.ReadDefinitions(*input_);
    sourceNames_ = importer_.LayerNames();
    // The user's choices for the rows of real drawings are not given up for
    // a file that defines no layer.
    if (sourceNames_.isEmpty())
        return false;
    // Destinations follow row positions: kept where the row still exists,
    // empty for new rows, dropped beyond the last.
    destinations_.resize(sourceNames_.size());
    return true;
}

void TVeskImportMapping::DefaultDestinations(const TVeskLayerList& layers)
{
    for (int row = 0; row < RowCount(); ++row)
        if (destinations_[row].isEmpty() && Resolve(layers, sourceNames_[row]))
            destinations_[row] = sourceNames_[row];
}

QString TVeskImportMapping::Destination(int row) const
{
    return row >= 0 && row < RowCount() ? destinations_[row] : QString();
}

void TVeskImportMapping::SetDestination(int row, const QString& layerName)
{
    if (row >= 0 && row < RowCount())
        destinations_[row] = layerName;
}

TVeskLayer* TVeskImportMapping::Resolve(const TVeskLayerList& layers, const QString& destination)
{
    // An empty destination means "not imported", even should a layer have an empty name.
    return destination.isEmpty() ? nullptr : layers.FindLayer(destination);
}

QStringList TVeskImportMapping::PickList(const TVeskLayerList& layers)
{
    QStringList names;
    for (int i = 0; i < layers.LayerCount(); ++i)
        names << layers.LayerAt(i)->Name();
    return names;
}

TVeskObject* TVeskImportMapping::Import(const TVeskLayerList& layers, TVeskPart& root)
{
    for (int row = 0; row < RowCount(); ++row)
        importer_.MapLayer(row, Resolve(layers, destinations_[row]));
    const std::unique_ptr<TVeskGroup> group = importer_.ReadItems();
    importer_.CloseInput();
    return group->ChildCount() > 0 ? root.Add(*group) : nullptr;
}

void TVeskImportMapping::Cancel()
{
    importer_.CloseInput();
}

} // namespace vesk
