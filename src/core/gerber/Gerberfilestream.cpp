#include "Gerberfilestream.h"

#include "Preconvertregion.h"
#include "io/Codepage.h"

#include <QFileDevice>
#include <QIODevice>

namespace vesk {

namespace {

constexpr char kHeaderBeforeName[] = "G75*\n"
                                     "G71*\n"
                                     "%OFA0B0*%\n"
                                     "%FSLAX33Y33*%\n"
                                     "%IPPOS*%\n"
                                     "%LPD*%\n";
constexpr char kHeaderAfterName[] = "%MIA0B1*%\n";
constexpr char kEndOfFile[] = "M02*\n";
// Attributes come first, then format and units; G01 makes the linear mode
// explicit before the first draw, whatever a reader assumes.
constexpr char kX2Header[] = "%FSLAX46Y46*%\n"
                             "%MOMM*%\n"
                             "G01*\n"
                             "%LPD*%\n";

} // namespace

TGerber_ostream::TGerber_ostream(QIODevice& file, TGerberFormat format)
    : file_(file)
    , format_(format)
    , body_(format)
{
    apertures_.SetFormat(format);
}

// Objects refer to the aperture list, so they go first.
TGerber_ostream::~TGerber_ostream()
{
    objects_.clear();
}

void TGerber_ostream::SetLayerName(const QString& name)
{
    layerName_ = name;
}

bool TGerber_ostream::Failed() const
{
    return failed_ || !file_.isOpen() || !file_.isWritable();
}

QByteArray TGerber_ostream::LayerNameRecord(const QString& name)
{
    QByteArray bytes = EncodeAnsi(name);
    for (char& c : bytes)
        if (c == '*' || c == '%' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7F)
            c = '_';
    return "%LN" + bytes + "*%\n";
}

void TGerber_ostream::addX2Path(const Pen* pen, const GraphicsPath& path, bool fill)
{
    GraphicsPath flat(path);
    flat.Flatten(TPreConvRegion::kFlatness);
    std::vector<THatchFigure> figures = TPreConvPath::SplitFigures(flat);
    if (fill || !pen) {
        auto region = std::make_unique<TPreConvRegion>(apertures_, figures, path.GetFillMode(), !pen);
        region->SetClear(clear_);
        objects_.push_back(std::move(region));
    }
    if (!pen)
        return;
    for (THatchFigure& figure : figures) {
        if (figure.points.empty())
            continue;
        auto object = std::make_unique<TPreConvPath>(apertures_);
        object->SetFigure(std::move(figure), {});
        object->SetPen(pen, false);
        object->SetClear(clear_);
        objects_.push_back(std::move(object));
    }
}

void TGerber_ostream::AddPath(const Pen* pen, const GraphicsPath& path, bool fill)
{
    if (format_ == TGerberFormat::X2) {
        addX2Path(pen, path, fill);
        return;
    }
    GraphicsPath flat(path);
    flat.Flatten(TPreConvPath::kFlatness);
    const RectF bounds = flat.GetBounds();
    std::vector<THatchFigure> figures = TPreConvPath::SplitFigures(flat);
    std::shared_ptr<TPreConvHatchGroup> group;
    if ((fill || !pen) && figures.size() > 1) {
        group = std::make_shared<TPreConvHatchGroup>();
        group->figures = figures;
        group->fillMode = path.GetFillMode();
    }
    for (size_t i = 0; i < figures.size(); ++i) {
        if (figures[i].points.empty())
            continue;
        auto object = std::make_unique<TPreConvPath>(apertures_);
        object->SetFigure(std::move(figures[i]), bounds);
        object->SetPen(pen, fill);
        object->SetFillMode(path.GetFillMode());
        object->SetClear(clear_);
        if (group)
            object->SetHatchGroup(group, i + 1 == figures.size());
        objects_.push_back(std::move(object));
    }
}

namespace {
RectF flashRect(const Pen* pen, const RectF& rect)
{
    if (!pen)
        return rect;
    const float w = pen->width;
    return { rect.X - w / 2, rect.Y - w / 2, rect.Width + w, rect.Height + w };
}
} // namespace

void TGerber_ostream::AddEllipse(const Pen* pen, const RectF& rect)
{
    auto object = std::make_unique<TPreConvEllipse>(apertures_);
    object->SetRect(flashRect(pen, rect));
    object->SetClear(clear_);
    objects_.push_back(std::move(object));
}

void TGerber_ostream::AddRect(const Pen* pen, const RectF& rect)
{
    auto object = std::make_unique<TPreConvRect>(apertures_);
    object->SetRect(flashRect(pen, rect));
    object->SetClear(clear_);
    objects_.push_back(std::move(object));
}

bool TGerber_ostream::write(const QByteArray& bytes)
{
    if (failed_)
        return false;
    // A device may take part of the bytes; the rest is offered again until it refuses.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file_.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            failed_ = true;
            error_ = file_.errorString();
            return false;
        }
        done += qsizetype(n);
    }
    return true;
}

QByteArray TGerber_ostream::header() const
{
    if (format_ == TGerberFormat::X2)
        return GerberX2Attributes(layerName_, created_.isValid() ? created_ : QDateTime::currentDateTime())
            + kX2Header;
    QByteArray text = kHeaderBeforeName;
    if (!layerName_.isEmpty())
        text += LayerNameRecord(layerName_);
    return text + kHeaderAfterName;
}

bool TGerber_ostream::WriteFile()
{
    if (Failed()) {
        if (error_.IsEmpty())
            error_
                = file_.isOpen() ? TVeskMessage(file_.errorString()) : TVeskMessage(TMessageId::FileNotOpen);
        failed_ = true;
        return false;
    }
    // Layers start dark; runs of cut-outs are written clear and the dark
    // polarity comes back after them.
    bool clear = false;
    for (const auto& object : objects_) {
        if (object->Clear() != clear) {
            clear = object->Clear();
            body_.Polarity(clear);
        }
        object->Write(body_);
    }
    if (clear)
        body_.Polarity(false);
    // A file of regions alone needs no aperture, but gerbv takes a file
    // without one for an RS-274D file and warns that apertures are missing.
    if (format_ == TGerberFormat::X2 && apertures_.Count() == 0)
        apertures_.CircleCode(TPreConvPath::kDefaultPenWidth);
    if (body_.Refused()) {
        failed_ = true;
        error_ = { TMessageId::NothingWritten, { body_.Refusal() } };
        return false;
    }
    if (!write(header()) || !write(apertures_.Definitions()) || !write(body_.Text()) || !write(kEndOfFile))
        return false;
    if (auto* device = qobject_cast<QFileDevice*>(&file_); device && !device->flush()) {
        failed_ = true;
        error_ = device->errorString();
        return false;
    }
    return true;
}

} // namespace vesk
