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
    auto file = std::make_unique<std::ifstream>(QFile::encodeName(fileName).toStdString(), std::ios::binary);
    const bool opened = file->is_open();
    input_ = std::move(file);
    // A file that cannot be opened reads as an empty one, with no rows; the
    // user's choices for rows of real files are not given up for it.
    readDefinitions(opened);
    return opened;
}

void TVeskImportMapping::Begin(std::unique_ptr<std::istream> input)
{
    importer_.CloseInput();
    input_ = std::move(input);
    readDefinitions(true);
}

void TVeskImportMapping::readDefinitions(bool fitDestinations)
{
    importer_.ReadDefinitions(*input_);
    sourceNames_ = importer_.LayerNames();
    // Destinations follow row positions: kept where the row still exists,
    // empty for new rows, dropped beyond the last.
    if (fitDestinations)
        destinations_.resize(sourceNames_.size());
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
    TVeskObject* added = root.Add(*group);
    importer_.CloseInput();
    return added;
}

void TVeskImportMapping::Cancel()
{
    importer_.CloseInput();
}

} // namespace vesk
