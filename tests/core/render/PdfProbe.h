#pragma once

// Reads back what the renderer wrote into a PDF: the page size from the
// MediaBox and the extent of the filled paths of the first page's content,
// in millimetres from the page's top-left corner.

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QTransform>
#include <algorithm>
#include <optional>

namespace vesk::test {

struct PdfPage {
    QSizeF sizePoints;
    // Bounds of every path point (m, l, c operands) after the content's
    // first cm, in millimetres, y from the top. Rectangles (re) are left out:
    // the writer uses them for the paper alone.
    QRectF pathsMm;
};

inline std::optional<PdfPage> ProbePdf(const QByteArray& pdf)
{
    static const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox \\[\\s*([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s*\\]"));
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(pdf));
    if (!box.hasMatch())
        return std::nullopt;
    PdfPage page;
    page.sizePoints = { box.captured(3).toDouble() - box.captured(1).toDouble(),
        box.captured(4).toDouble() - box.captured(2).toDouble() };

    // The first Flate stream that holds path operators is the page content.
    qsizetype from = 0;
    QByteArray content;
    while (content.isEmpty()) {
        const qsizetype start = pdf.indexOf("stream", from);
        if (start < 0)
            return std::nullopt;
        qsizetype begin = start + 6;
        while (begin < pdf.size() && (pdf[begin] == '\r' || pdf[begin] == '\n'))
            ++begin;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0)
            return std::nullopt;
        QByteArray packed = pdf.mid(begin, end - begin);
        // qUncompress wants the expected size in front; it grows the buffer as needed.
        packed.prepend(QByteArray("\x00\x10\x00\x00", 4));
        const QByteArray text = qUncompress(packed);
        if (text.contains(" cm") && (text.contains(" m\n") || text.contains(" m ")))
            content = text;
        from = end + 9;
    }

    QTransform cm;
    bool haveCm = false;
    QList<double> operands;
    QList<QPointF> points;
    for (const QByteArray& token : content.simplified().split(' ')) {
        bool isNumber = false;
        const double v = token.toDouble(&isNumber);
        if (isNumber) {
            operands << v;
            continue;
        }
        if (token == "cm" && operands.size() >= 6 && !haveCm) {
            const auto o = operands.mid(operands.size() - 6);
            cm = QTransform(o[0], o[1], o[2], o[3], o[4], o[5]);
            haveCm = true;
        } else if ((token == "m" || token == "l" || token == "c") && operands.size() >= 2) {
            for (qsizetype i = 0; i + 1 < operands.size(); i += 2)
                points << QPointF(operands[i], operands[i + 1]);
        }
        operands.clear();
    }
    if (points.isEmpty())
        return page;
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (const QPointF& p : points) {
        const QPointF pt = cm.map(p);
        const double x = pt.x() * 25.4 / 72.0;
        const double y = (page.sizePoints.height() - pt.y()) * 25.4 / 72.0;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    page.pathsMm = QRectF(QPointF(left, top), QPointF(right, bottom));
    return page;
}

} // namespace vesk::test
