#pragma once

#include "Aperturelist.h"
#include "Gerberbody.h"
#include "Gerberformat.h"
#include "Preconvertpath.h"
#include "geometry/GraphicsPath.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;

namespace vesk {

// Writer of one Gerber file for one layer. The drawing objects of the layer
// convert themselves through AddPath, AddEllipse and AddRect; WriteFile then
// renders every collected object into the body in memory (which chooses the
// apertures), and writes the header records, the aperture definitions, the
// body and the end-of-file record "M02*" to the file. Units are millimetres.
// In the classic RS-274X format coordinates are absolute in the 3.3 format
// and the image is mirrored in y so that the document's downward y comes out
// upward. In X2 (chosen before anything is added) coordinates are nanometres
// in the 4.6 format with y negated, the header is attributes and extended
// commands only, and filled areas are regions instead of hatches.
//
// The file is a device opened for writing by the caller and not owned. The
// stream fails when the device is not writable or a write fails, and when a
// coordinate lies outside the format's range, in which case nothing at all is
// written; Error then says why.
class TGerber_ostream {
public:
    explicit TGerber_ostream(QIODevice& file, TGerberFormat format = TGerberFormat::Rs274x);
    ~TGerber_ostream();
    TGerber_ostream(const TGerber_ostream&) = delete;
    TGerber_ostream& operator=(const TGerber_ostream&) = delete;

    // The name of the "%LN" record; none when empty.
    void SetLayerName(const QString& name);
    const QString& LayerName() const { return layerName_; }
    TGerberFormat Format() const { return format_; }
    // The X2 creation date; the time of WriteFile when not set.
    void SetCreationDate(const QDateTime& when) { created_ = when; }

    // True when the file is not open for writing or a write or the body failed.
    bool Failed() const;
    const TVeskMessage& Error() const { return error_; }
    QString ErrorString() const { return error_.English(); }

    // One pre-converted path per figure of the path flattened to 1.0; pen may be null.
    void AddPath(const Pen* pen, const GraphicsPath& path, bool fill);
    // A flash of the rectangle, enlarged by half the pen's width on every side when a pen is given.
    void AddEllipse(const Pen* pen, const RectF& rect);
    void AddRect(const Pen* pen, const RectF& rect);

    // Objects added from now on clear (cut-outs) or darken the layer.
    void SetClearPolarity(bool clear) { clear_ = clear; }
    bool ClearPolarity() const { return clear_; }

    // Writes the whole file once; false, with Error set, when it failed.
    bool WriteFile();

    const std::vector<std::unique_ptr<TPreConvObject>>& Objects() const { return objects_; }
    const TApertureList& Apertures() const { return apertures_; }

    // The "%LN" record for a name: the name in the document's 8-bit code page,
    // with the record's own delimiters "*" and "%" and control characters,
    // which would end or split the record, replaced by "_".
    static QByteArray LayerNameRecord(const QString& name);

private:
    bool write(const QByteArray& bytes);

    void addX2Path(const Pen* pen, const GraphicsPath& path, bool fill);
    QByteArray header() const;

    QIODevice& file_;
    TGerberFormat format_;
    QDateTime created_;
    TGerberBody body_;
    TApertureList apertures_;
    std::vector<std::unique_ptr<TPreConvObject>> objects_;
    QString layerName_;
    bool clear_ = false;
    bool failed_ = false;
    TVeskMessage error_;
};

} // namespace vesk
