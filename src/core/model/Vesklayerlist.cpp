#include "Vesklayerlist.h"

#include "io/Codepage.h"
#include "io/Veskfilestream.h"

#include <algorithm>

namespace vesk {

namespace {
struct DefaultLayer {
    const char* name;
    ARGB color;
};
// Added in this order, each before the previous, so the list reads bottom-up here.
constexpr DefaultLayer kDefaults[] = {
    { "other", 0xFF808080 },
    { "dimension", 0xFF000000 },
    { "stop_cmp", 0xFFA6A6FF },
    { "stop_sol", 0xFFFF80C0 },
    { "place_cmp", 0xFFFFB900 },
    { "place_sol", 0xFF465CAA },
    { "component", 0xFF008000 },
    { "solder", 0xFFEB2828 },
    { "hole", 0xFFFFFFFF },
};
} // namespace

TVeskLayerList::TVeskLayerList(QObject* parent)
    : QObject(parent)
{
}

TVeskLayerList::~TVeskLayerList() = default;

TVeskLayer* TVeskLayerList::LayerAt(int i) const
{
    return i >= 0 && i < LayerCount() ? layers_[size_t(i)].get() : nullptr;
}

TVeskLayer* TVeskLayerList::FindLayer(const QString& name) const
{
    for (const auto& layer : layers_)
        if (layer->Name() == name)
            return layer.get();
    return nullptr;
}

bool TVeskLayerList::NameTaken(const QString& name, const TVeskLayer* except) const
{
    const QByteArray stored = EncodeAnsi(name);
    return std::any_of(layers_.begin(), layers_.end(),
        [&](const auto& layer) { return layer.get() != except && EncodeAnsi(layer->Name()) == stored; });
}

void TVeskLayerList::renumber()
{
    for (size_t i = 0; i < layers_.size(); ++i)
        layers_[i]->index = int(i);
}

TVeskLayer* TVeskLayerList::AddLayer(ARGB color)
{
    const int at = current_ ? current_->index : LayerCount();
    auto layer = std::make_unique<TVeskLayer>(at, backgroundColor_);
    layer->SetColor(color);
    layer->list_ = this;
    TVeskLayer* added = layer.get();
    layers_.insert(layers_.begin() + at, std::move(layer));
    renumber();
    for (const auto& l : layers_)
        l->current = false;
    added->current = true;
    current_ = added;
    Q_EMIT layersChanged();
    return added;
}

TVeskLayer* TVeskLayerList::AddNamedLayer(ARGB color, const QString& name)
{
    TVeskLayer* layer = AddLayer(color);
    layer->name_ = name;
    Q_EMIT layerChanged(layer);
    return layer;
}

void TVeskLayerList::MoveLayer(TVeskLayer* source, TVeskLayer* target)
{
    // A layer of another list would make us move whichever of ours shares its index.
    if (!source || !target || source == target || LayerAt(source->index) != source)
        return;
    const int from = source->index;
    const bool before = target->index < from;
    auto owned = std::move(layers_[size_t(from)]);
    layers_.erase(layers_.begin() + from);
    const auto targetPos
        = std::find_if(layers_.begin(), layers_.end(), [&](const auto& l) { return l.get() == target; });
    if (targetPos == layers_.end()) { // target is not ours: put the layer back
        layers_.insert(layers_.begin() + from, std::move(owned));
        return;
    }
    layers_.insert(before ? targetPos : targetPos + 1, std::move(owned));
    renumber();
    Q_EMIT layersChanged();
}

TVeskLayerTable TVeskLayerList::Table() const
{
    TVeskLayerTable table;
    table.entries.reserve(layers_.size());
    for (const auto& l : layers_)
        table.entries.push_back({ l.get(), l->Name(), l->opaqueColor, l->mask, l->wireFrame });
    return table;
}

void TVeskLayerList::RestoreTable(const TVeskLayerTable& to, const TVeskLayerTable& from)
{
    const auto entryOf = [](const TVeskLayerTable& t, const TVeskLayer* layer) {
        const auto it = std::find_if(t.entries.begin(), t.entries.end(),
            [&](const TVeskLayerTable::Entry& e) { return e.layer == layer; });
        return it == t.entries.end() ? nullptr : &*it;
    };
    std::vector<std::unique_ptr<TVeskLayer>> pool;
    std::vector<const TVeskLayer*> listed;
    for (auto& l : layers_) {
        listed.push_back(l.get());
        pool.push_back(std::move(l));
    }
    for (auto& l : retired_)
        pool.push_back(std::move(l));
    layers_.clear();
    retired_.clear();
    for (const TVeskLayerTable::Entry& e : to.entries) {
        const auto it
            = std::find_if(pool.begin(), pool.end(), [&](const auto& l) { return l.get() == e.layer; });
        if (it != pool.end())
            layers_.push_back(std::move(*it));
    }
    for (auto& l : pool) {
        if (!l)
            continue;
        const bool stays = !entryOf(from, l.get()) && std::ranges::find(listed, l.get()) != listed.end();
        (stays ? layers_ : retired_).push_back(std::move(l));
    }
    renumber();
    for (const TVeskLayerTable::Entry& e : to.entries) {
        TVeskLayer* layer = e.layer;
        if (LayerAt(layer->index) != layer)
            continue;
        const TVeskLayerTable::Entry* was = entryOf(from, layer);
        if (!was || was->name != e.name)
            layer->name_ = e.name;
        if (!was || was->color != e.color)
            layer->SetColor(e.color);
        if (!was || was->mask != e.mask)
            layer->mask = e.mask;
        if (!was || was->wireFrame != e.wireFrame)
            layer->wireFrame = e.wireFrame;
    }
    if (!current_ || LayerAt(current_->index) != current_)
        SetCurrent(LayerAt(0));
    for (const auto& l : layers_)
        Q_EMIT layerChanged(l.get());
    Q_EMIT layersChanged();
}

void TVeskLayerList::ClearLayers()
{
    current_ = nullptr;
    layers_.clear();
    retired_.clear();
    Q_EMIT layersChanged();
}

void TVeskLayerList::ResetToDefaults()
{
    QSignalBlocker quiet(this);
    ClearLayers();
    for (const DefaultLayer& d : kDefaults) {
        TVeskLayer* layer = AddNamedLayer(d.color, QString::fromLatin1(d.name));
        if (layer->Name() == QLatin1String("dimension"))
            layer->wireFrame = true;
        if (layer->Name() == QLatin1String("hole"))
            layer->mask = true;
    }
    ChooseDrawingLayer();
    quiet.unblock();
    Q_EMIT layersChanged();
}

void TVeskLayerList::SetCurrent(TVeskLayer* layer)
{
    for (const auto& l : layers_)
        l->current = false;
    if (layer)
        layer->current = true;
    current_ = layer;
    Q_EMIT layersChanged();
}

void TVeskLayerList::ChooseDrawingLayer()
{
    const auto first = [&](auto usable) {
        const auto it = std::ranges::find_if(layers_, [&](const auto& l) { return usable(*l); });
        return it == layers_.end() ? nullptr : it->get();
    };
    TVeskLayer* layer = first([](const TVeskLayer& l) { return !l.mask && l.visible && !l.locked; });
    if (!layer)
        layer = first([](const TVeskLayer& l) { return !l.mask; });
    SetCurrent(layer ? layer : LayerAt(0));
}

void TVeskLayerList::WriteLayerTable(TVesk_ostream& out) const
{
    out.WriteInt32(LayerCount());
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
        const TVeskLayer& layer = **it;
        out.WriteString(layer.Name());
        out.WriteColor(layer.opaqueColor);
        out.WriteBool(layer.mask);
        out.WriteBool(layer.wireFrame);
    }
}

bool TVeskLayerList::ReadLayerTable(TVesk_istream& in)
{
    // Smallest entry: empty name (4), colour (4), two flags (2).
    const int count = in.ReadCount(10);
    if (in.Failed())
        return false;
    QSignalBlocker quiet(this);
    ClearLayers();
    for (int i = 0; i < count; ++i) {
        const QString name = in.ReadString();
        const ARGB color = in.ReadColor();
        const bool mask = in.ReadBool();
        const bool wireFrame = in.ReadBool();
        if (in.Failed())
            break;
        TVeskLayer* layer = AddNamedLayer(color, name);
        layer->mask = mask;
        layer->wireFrame = wireFrame;
    }
    quiet.unblock();
    Q_EMIT layersChanged();
    return !in.Failed();
}

} // namespace vesk
