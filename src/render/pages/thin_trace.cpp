#include "render/pages/thin_trace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QPainter>

namespace keelrun {
namespace {

// The runs of the row being gathered; filled when the curve leaves it.
class RowRuns {
public:
    RowRuns(QImage &picture, QRgb colour) : picture_(picture), colour_(colour) {}
    ~RowRuns() { flush(); }

    void add(int row, double from, double to)
    {
        if (row != row_) {
            flush();
            row_ = row;
        }
        const int a = static_cast<int>(std::lround(std::min(from, to)));
        const int b = static_cast<int>(std::lround(std::max(from, to)));
        runs_.push_back({a, b});
    }

private:
    void flush()
    {
        if (runs_.empty())
            return;
        if (row_ >= 0 && row_ < picture_.height()) {
            std::sort(runs_.begin(), runs_.end());
            auto *line = reinterpret_cast<QRgb *>(picture_.scanLine(row_));
            const int last = picture_.width() - 1;
            int start = runs_[0].first, end = runs_[0].second;
            for (const auto &[a, b] : runs_) {
                if (a > end + 1) {
                    fill(line, start, end, last);
                    start = a;
                }
                end = std::max(end, b);
            }
            fill(line, start, end, last);
        }
        runs_.clear();
    }

    void fill(QRgb *line, int a, int b, int last) const
    {
        a = std::max(a, 0);
        b = std::min(b, last);
        if (a <= b)
            std::fill(line + a, line + b + 1, colour_);
    }

    QImage &picture_;
    QRgb colour_;
    int row_ = 0;
    std::vector<std::pair<int, int>> runs_;
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
    for (int k = 0; k <= n; ++k) {
        const double from = std::max(0.0, k - 0.5) / n, to = std::min(double(n), k + 0.5) / n;
        runs.add(p.y() + step * k, p.x() + dx * from, p.x() + dx * to);
    }
}

}  // namespace

void drawThinTrace(QImage &picture, const std::vector<QPolygon> &pieces, QRgb colour)
{
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        QPainter p(&picture);
        p.setPen(QPen(QColor::fromRgb(colour), 0));
        for (const QPolygon &piece : pieces)
            p.drawPolyline(piece);
        return;
    }
    RowRuns runs(picture, colour | 0xff000000u);
    for (const QPolygon &piece : pieces) {
        if (piece.size() == 1)
            runs.add(piece[0].y(), piece[0].x(), piece[0].x());
        for (int i = 1; i < piece.size(); ++i)
            addSegment(runs, piece[i - 1], piece[i]);
    }
}

}  // namespace keelrun
