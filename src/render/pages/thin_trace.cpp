#include "render/pages/thin_trace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QPainter>

namespace keelrun {
namespace {

// Rounded half away from zero, as std::lround, without the library call.
int roundAway(double x) { return x >= 0 ? static_cast<int>(x + 0.5) : -static_cast<int>(0.5 - x); }

// The run being gathered: a stretch of one row, grown while the curve's
// next pixels touch it and filled when they do not.
class RowRuns {
public:
    RowRuns(QImage &picture, QRgb colour)
        : bits_(picture.bits()), stride_(picture.bytesPerLine()), width_(picture.width()), height_(picture.height()),
          colour_(colour)
    {
    }
    ~RowRuns() { fill(); }

    // What is added from now on is drawn in `colour`.
    void setColour(QRgb colour)
    {
        colour |= 0xff000000u;
        if (colour == colour_)
            return;
        fill();
        row_ = -1;
        colour_ = colour;
    }

    void add(int row, double from, double to)
    {
        const int a = roundAway(std::min(from, to));
        const int b = roundAway(std::max(from, to));
        if (row == row_ && a <= end_ + 1 && b >= start_ - 1) {
            start_ = std::min(start_, a);
            end_ = std::max(end_, b);
            return;
        }
        fill();
        row_ = row;
        start_ = a;
        end_ = b;
    }

private:
    void fill() const
    {
        if (row_ < 0 || row_ >= height_)
            return;
        const int a = std::max(start_, 0), b = std::min(end_, width_ - 1);
        auto *line = reinterpret_cast<QRgb *>(bits_ + static_cast<std::ptrdiff_t>(row_) * stride_);
        if (a <= b)
            std::fill(line + a, line + b + 1, colour_);
    }

    uchar *bits_;
    qsizetype stride_;
    int width_, height_;
    QRgb colour_;
    int row_ = -1, start_ = 0, end_ = -1;
};

// The pixels of the segment from p to q, row by row: on each row it covers
// the stretch between the half rows above and below.
void addSegment(RowRuns &runs, QPoint p, QPoint q)
{
    const int dx = q.x() - p.x(), dy = q.y() - p.y();
    const int n = std::abs(dy);
    if (n == 0) {
        runs.add(p.y(), p.x(), q.x());
        return;
    }
    const int step = dy > 0 ? 1 : -1;
    if (n == 1) {  // the usual step of a dense track: half the way on each row
        runs.add(p.y(), p.x(), p.x() + dx * 0.5);
        runs.add(q.y(), p.x() + dx * 0.5, q.x());
        return;
    }
    for (int k = 0; k <= n; ++k) {
        const double from = std::max(0.0, k - 0.5) / n, to = std::min(double(n), k + 0.5) / n;
        runs.add(p.y() + step * k, p.x() + dx * from, p.x() + dx * to);
    }
}

// Row by row in the picture's own pixels: only where those are the
// drawing's (a picture for a scaled screen goes through the painter).
bool drawnByRows(const QImage &picture)
{
    return (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32) && picture.devicePixelRatio() == 1;
}

// Each segment of the pieces, `segment(p, i, from, to)` from point i of
// piece p, and a piece of one point as a segment from it to itself.
template <typename Segment>
void forEachSegment(const std::vector<QPolygon> &pieces, Segment &&segment)
{
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const QPolygon &piece = pieces[p];
        if (piece.size() == 1)
            segment(p, 0, piece[0], piece[0]);
        for (int i = 1; i < piece.size(); ++i)
            segment(p, i - 1, piece[i - 1], piece[i]);
    }
}

// The pieces' segments row by row, in the colours `colourOf(p, i)` gives
// for the segment from point i of piece p.
template <typename ColourOf>
void addPieces(RowRuns &runs, const std::vector<QPolygon> &pieces, ColourOf &&colourOf)
{
    forEachSegment(pieces, [&](std::size_t p, int i, QPoint from, QPoint to) {
        runs.setColour(colourOf(p, i));
        if (from == to)
            runs.add(from.y(), from.x(), from.x());
        else
            addSegment(runs, from, to);
    });
}

}  // namespace

void drawThinTrace(QImage &picture, const std::vector<QPolygon> &pieces, QRgb colour)
{
    if (!drawnByRows(picture)) {
        QPainter p(&picture);
        p.setPen(QPen(QColor::fromRgb(colour), 0));
        for (const QPolygon &piece : pieces)
            p.drawPolyline(piece);
        return;
    }
    RowRuns runs(picture, colour | 0xff000000u);
    addPieces(runs, pieces, [&](std::size_t, int) { return colour; });
}

void drawThinTrace(QImage &picture, const std::vector<QPolygon> &pieces, const std::vector<std::vector<QRgb>> &colours)
{
    const auto colourOf = [&](std::size_t p, int i) { return colours[p][static_cast<std::size_t>(i)]; };
    if (!drawnByRows(picture)) {
        QPainter painter(&picture);
        forEachSegment(pieces, [&](std::size_t p, int i, QPoint from, QPoint to) {
            painter.setPen(QPen(QColor::fromRgb(colourOf(p, i)), 0));
            painter.drawLine(from, to);
        });
        return;
    }
    RowRuns runs(picture, 0);
    addPieces(runs, pieces, colourOf);
}

}  // namespace keelrun
