#include "Veskimporter.h"

#include "io/Codepage.h"
#include "io/Veskfilestream.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"

#include <QByteArray>
#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <boost/tokenizer.hpp>
#include <cmath>
#include <fstream>
#include <istream>
#include <locale>
#include <string_view>

namespace vesk {

namespace {

bool withinDocument(double v)
{
    return std::isfinite(v) && std::fabs(v) <= double(TVesk_istream::kMaxCoordinate);
}

// Layer entries are words of at least this many bytes; a shorter word ends the list.
constexpr std::size_t kMinLayerEntry = 20;
// File millimetres to document tenths of a millimetre; y points the other way.
constexpr float kScaleX = 10.0f;
constexpr float kScaleY = -10.0f;

std::vector<std::string> splitFields(const std::string& word)
{
    // Runs of separators give no empty fields (the separator's default).
    const boost::char_separator<char> separators(":,=");
    const boost::tokenizer<boost::char_separator<char>> tokens(word, separators);
    return { tokens.begin(), tokens.end() };
}

// Walks the fields after the kind: a field that is one of `keys` takes the
// next field as its value; any other field is passed over on its own, so a
// stray value is looked at as a key. A key in the last field has no value and
// is passed over.
template <class Apply>
void forEachKey(
    const std::vector<std::string>& fields, std::initializer_list<std::string_view> keys, Apply&& apply)
{
    for (std::size_t i = 1; i + 1 < fields.size(); ++i) {
        if (std::find(keys.begin(), keys.end(), fields[i]) == keys.end())
            continue;
        apply(std::string_view(fields[i]), fields[i + 1]);
        ++i;
    }
}

bool isFinite(PointF p)
{
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

// Filled, no outline, round caps and joins: lands, flashes and dots.
TVeskSurface padSurface()
{
    return TVeskSurface(0.0f, false, true, 4);
}

} // namespace

TVeskImporter::TVeskImporter()
    : lineWidths_(DefaultTable())
    , flashSizes_(DefaultTable())
{
}

TVeskImporter::~TVeskImporter() = default;

TVeskImporter::Table TVeskImporter::DefaultTable()
{
    Table t {};
    for (int i = 0; i < kTableSize; ++i)
        t[std::size_t(i)] = i < 18 ? 1.0 + 0.5 * i : double(i - 8);
    return t;
}

void TVeskImporter::MapLayer(int fileLayer, TVeskLayer* layer)
{
    if (fileLayer >= 0 && std::size_t(fileLayer) < layerMap_.size())
        layerMap_[std::size_t(fileLayer)] = layer;
}

// ---------------------------------------------------------------- words

bool TVeskImporter::nextWord(std::string& word)
{
    // Only a word actually read counts: a failed extraction leaves the previous one behind.
    return input_ && *input_ >> word;
}

bool TVeskImporter::skipTo(const char* marker)
{
    std::string word;
    while (nextWord(word))
        if (word == marker)
            return true;
    return false;
}

// ---------------------------------------------------------------- definitions

void TVeskImporter::ReadDefinitions(std::istream& input)
{
    input_ = &input;
    // Numbers and white space as the program that wrote the file read them, whatever the global locale.
    input_->imbue(std::locale::classic());
    version_ = -1.0;
    readVersion();
    readLayerDef();
    readTable("[FlshDef]", flashSizes_);
    readTable("[LineDef]", lineWidths_);
}

void TVeskImporter::readVersion()
{
    input_->clear();
    std::string word;
    while (nextWord(word)) {
        if (word.find("VESK:Version") == std::string::npos)
            continue;
        double v = 0;
        if (*input_ >> v)
            version_ = v;
        return;
    }
}

void TVeskImporter::readLayerDef()
{
    input_->clear();
    foundLayerSection_ = skipTo("[LayerDef]");
    layerNames_.clear();
    layerMap_.clear();
    std::string word;
    while (input_->good()) {
        if (!nextWord(word) || word.size() < kMinLayerEntry)
            break;
        const Fields fields = splitFields(word);
        const auto name = std::find(fields.begin(), fields.end(), std::string("NAME"));
        if (name == fields.end())
            continue;
        // "NAME" as the last field names the layer "": the entry still holds its row.
        const std::string bytes = std::next(name) != fields.end() ? *std::next(name) : std::string();
        layerNames_ << DecodeAnsi(QByteArray::fromStdString(bytes));
        layerMap_.push_back(nullptr);
    }
}

void TVeskImporter::readTable(const char* marker, Table& table)
{
    table = DefaultTable();
    input_->clear();
    if (skipTo(marker)) {
        do {
            int i = 0;
            if (!(*input_ >> i) || i < 0 || i >= kTableSize)
                break;
            input_->get(); // the separator after the index, whatever it is
            double size = 0;
            if (!(*input_ >> size))
                break;
            // A size a document could not hold (it would not read back) ends the list like a bad number.
            const double units = size * 10.0;
            if (!withinDocument(units))
                break;
            table[std::size_t(i)] = units;
        } while (input_->good());
    }
    input_->clear();
}

void TVeskImporter::CloseInput()
{
    if (auto* file = dynamic_cast<std::ifstream*>(input_))
        file->close();
    input_ = nullptr;
}

// ---------------------------------------------------------------- items

std::unique_ptr<TVeskGroup> TVeskImporter::ReadItems()
{
    groupStack_.clear();
    groupStack_.push_back(std::make_unique<TVeskGroup>());
    pendingFlattened_ = 0;
    counts_ = {};
    foundItemSection_ = false;
    if (input_) {
        input_->clear();
        foundItemSection_ = skipTo("[DrawItems]");
        std::string word;
        while (nextWord(word))
            readItem(splitFields(word));
    }
    // Every group still open is closed into its parent, so nothing read is lost.
    while (groupStack_.size() > 1)
        closeGroup();
    std::unique_ptr<TVeskGroup> root = std::move(groupStack_.back());
    groupStack_.clear();
    return root;
}

void TVeskImporter::readItem(const Fields& fields)
{
    if (fields.empty())
        return;
    const std::string& kind = fields.front();
    if (kind == "GROUP") {
        beginGroup();
        return;
    }
    if (kind == "ENDGR") {
        endGroup();
        return;
    }
    Outcome outcome = Outcome::Unmapped;
    try {
        if (kind == "LINE")
            outcome = readLine(fields);
        else if (kind == "LAND")
            outcome = readLand(fields);
        else if (kind == "FLSH")
            outcome = readFlash(fields);
        else
            return; // not an item kind of the format
    } catch (const boost::bad_lexical_cast&) {
        outcome = Outcome::Invalid;
    }
    switch (outcome) {
    case Outcome::Created:
        ++counts_.shapes;
        break;
    case Outcome::Unmapped:
        ++counts_.unmapped;
        break;
    case Outcome::Invalid:
        ++counts_.invalid;
        break;
    }
}

float TVeskImporter::coordinate(const std::string& field, float scale, bool& valid) const
{
    const float v = scale * boost::lexical_cast<float>(field);
    // "inf", "nan" and values that overflow when scaled would poison every
    // outline built from them; beyond what a document holds they would not
    // read back from the saved file.
    if (!withinDocument(v))
        valid = false;
    return v;
}

TVeskLayer* TVeskImporter::layer(const std::string& field, bool& valid) const
{
    const int i = boost::lexical_cast<int>(field);
    if (i < 0 || std::size_t(i) >= layerMap_.size()) {
        valid = false;
        return nullptr;
    }
    return layerMap_[std::size_t(i)];
}

double TVeskImporter::tableEntry(const Table& table, const std::string& field, bool& valid) const
{
    const int i = boost::lexical_cast<int>(field);
    if (i < 0 || i >= kTableSize) {
        valid = false;
        return 0.0;
    }
    return table[std::size_t(i)];
}

TVeskImporter::Outcome TVeskImporter::readLine(const Fields& fields)
{
    PointF start;
    PointF end;
    TVeskLayer* onLayer = nullptr;
    TVeskSurface surface;
    bool valid = true;
    forEachKey(fields, { "XS", "YS", "XE", "YE", "LE", "AP", "SQ" },
        [&](std::string_view key, const std::string& value) {
            if (key == "XS")
                start.X = coordinate(value, kScaleX, valid);
            else if (key == "YS")
                start.Y = coordinate(value, kScaleY, valid);
            else if (key == "XE")
                end.X = coordinate(value, kScaleX, valid);
            else if (key == "YE")
                end.Y = coordinate(value, kScaleY, valid);
            else if (key == "LE")
                onLayer = layer(value, valid);
            else if (key == "AP")
                surface.SetWidth(float(tableEntry(lineWidths_, value, valid)));
            else
                surface.SetWidth(float(tableEntry(flashSizes_, value, valid)));
        });
    if (!valid)
        return Outcome::Invalid;
    if (!onLayer)
        return Outcome::Unmapped;
    if (start == end) {
        // A line of no length is a dot as wide as the line would have been.
        const PointF rim = start + PointF(surface.GetWidth() * 0.5f, 0.0f);
        if (!isFinite(rim))
            return Outcome::Invalid;
        auto dot = std::make_unique<TVeskEllipse>(onLayer, padSurface());
        dot->SetCircle(start, rim);
        add(std::move(dot));
        return Outcome::Created;
    }
    auto path = std::make_unique<TVeskPath>(onLayer, surface);
    path->SetPoints(StraightEntries({ start, end }), {});
    add(std::move(path));
    return Outcome::Created;
}

TVeskImporter::Outcome TVeskImporter::readPlacement(const Fields& fields, const Table& sizes, Placement& out)
{
    bool valid = true;
    forEachKey(fields, { "LE", "X", "Y", "AP" }, [&](std::string_view key, const std::string& value) {
        if (key == "LE")
            out.layer = layer(value, valid);
        else if (key == "X")
            out.centre.X = coordinate(value, kScaleX, valid);
        else if (key == "Y")
            out.centre.Y = coordinate(value, kScaleY, valid);
        else
            out.half = tableEntry(sizes, value, valid) * 0.5;
    });
    if (!valid)
        return Outcome::Invalid;
    return out.layer ? Outcome::Created : Outcome::Unmapped;
}

TVeskImporter::Outcome TVeskImporter::readLand(const Fields& fields)
{
    Placement at;
    if (const Outcome o = readPlacement(fields, lineWidths_, at); o != Outcome::Created)
        return o;
    const PointF rim = at.centre + PointF(float(at.half), 0.0f);
    if (!isFinite(rim))
        return Outcome::Invalid;
    auto land = std::make_unique<TVeskEllipse>(at.layer, padSurface());
    land->SetCircle(at.centre, rim);
    add(std::move(land));
    return Outcome::Created;
}

TVeskImporter::Outcome TVeskImporter::readFlash(const Fields& fields)
{
    Placement at;
    if (const Outcome o = readPlacement(fields, flashSizes_, at); o != Outcome::Created)
        return o;
    const PointF h { float(at.half), float(at.half) };
    const PointF a = at.centre - h;
    const PointF b = at.centre + h;
    if (!isFinite(a) || !isFinite(b))
        return Outcome::Invalid;
    auto flash = std::make_unique<TVeskRect>(at.layer, padSurface());
    flash->SetCorners(a, b);
    add(std::move(flash));
    return Outcome::Created;
}

void TVeskImporter::add(std::unique_ptr<TVeskObject> object)
{
    // Placing a shape selects it; imported objects arrive unselected, as
    // their group does, or a later move of the user's selection would carry them along.
    object->SetSelected(false);
    // The object built here is fresh and unshared: taking it in is the same
    // as adding a copy and discarding it, without the copy.
    groupStack_.back()->Adopt(std::move(object));
}

// ---------------------------------------------------------------- groups

void TVeskImporter::beginGroup()
{
    if (groupStack_.size() > std::size_t(kMaxGroupDepth)) {
        ++pendingFlattened_;
        ++counts_.flattened;
        return;
    }
    groupStack_.push_back(std::make_unique<TVeskGroup>());
}

void TVeskImporter::endGroup()
{
    if (pendingFlattened_ > 0) {
        --pendingFlattened_;
        return;
    }
    // Without an open group there is nothing to end.
    if (groupStack_.size() > 1)
        closeGroup();
}

void TVeskImporter::closeGroup()
{
    std::unique_ptr<TVeskGroup> top = std::move(groupStack_.back());
    groupStack_.pop_back();
    // A group whose items all went to no layer could never be seen, picked or deleted.
    if (top->ChildCount() == 0)
        return;
    groupStack_.back()->Adopt(std::move(top));
    ++counts_.groups;
}

} // namespace vesk
