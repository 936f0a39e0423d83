#include "Excellonwriter.h"

#include "Gerberformat.h"

#include <cmath>
#include <cstdio>

namespace vesk {

namespace {

QByteArray millimetres(double documentUnits)
{
    char buffer[48];
    const int n = std::snprintf(buffer, sizeof buffer, "%.3f", documentUnits * 0.1);
    QByteArray text(buffer, n < 0 ? 0 : n);
    // "-0.000" would be a negative zero to a reader that keeps the sign.
    if (text == "-0.000")
        text = "0.000";
    return text;
}

QByteArray coordinate(PointF p)
{
    return "X" + millimetres(double(p.X)) + "Y" + millimetres(-double(p.Y));
}

} // namespace

TExcellonWriter::TExcellonWriter(bool plated)
    : plated_(plated)
{
}

TExcellonWriter::Tool& TExcellonWriter::toolOf(float diameter)
{
    return tools_[std::llround(double(diameter) * 100.0)];
}

void TExcellonWriter::AddHit(PointF centre, float diameter)
{
    toolOf(diameter).hits.push_back(centre);
    ++hits_;
}

void TExcellonWriter::AddSlot(PointF from, PointF to, float width)
{
    toolOf(width).slots.emplace_back(from, to);
    ++slots_;
}

std::vector<TExcellonWriter::Hole> TExcellonWriter::Holes() const
{
    std::vector<Hole> holes;
    holes.reserve(size_t(hits_ + slots_));
    for (const auto& [micrometres, tool] : tools_) {
        const float diameter = float(double(micrometres) / 100.0);
        for (const PointF& p : tool.hits)
            holes.push_back({ p, p, diameter });
        for (const auto& [from, to] : tool.slots)
            holes.push_back({ from, to, diameter });
    }
    return holes;
}

QByteArray TExcellonWriter::Text(const QDateTime& created) const
{
    QByteArray text = "M48\n";
    // Attributes as comments, the way X2 writers put them into drill files,
    // and the plating in the comment other readers look for.
    text += "; #@! TF.GenerationSoftware," + GerberGenerationSoftware() + "\n";
    text += "; #@! TF.CreationDate," + GerberCreationDate(created) + "\n";
    text += plated_ ? "; #@! TF.FileFunction,Plated,1,2,PTH\n;TYPE=PLATED\n"
                    : "; #@! TF.FileFunction,NonPlated,1,2,NPTH\n;TYPE=NON_PLATED\n";
    // Leading zeros kept and three decimals: with the decimal point written
    // in every coordinate, no reader has to guess the format.
    text += "METRIC,LZ,000.000\n";
    int number = 0;
    for (const auto& [micrometres, tool] : tools_)
        text += "T" + QByteArray::number(++number) + "C" + millimetres(double(micrometres) / 100.0) + "\n";
    text += "%\nG90\nG05\n";
    number = 0;
    for (const auto& [micrometres, tool] : tools_) {
        text += "T" + QByteArray::number(++number) + "\n";
        for (const PointF p : tool.hits)
            text += coordinate(p) + "\n";
        for (const auto& [from, to] : tool.slots)
            text += coordinate(from) + "G85" + coordinate(to) + "\n";
    }
    text += "M30\n";
    return text;
}

} // namespace vesk
