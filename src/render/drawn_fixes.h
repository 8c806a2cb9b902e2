#pragma once
// The fixes of a track that a picture at its scale needs. Fixes closer in
// time than a pixel at the fleet's top speed add nothing a screen can show:
// a logger writing once a second is drawn from every fix, one writing ten
// times a second from every few.

#include <algorithm>
#include <cmath>

#include "model/race_state.h"

namespace keelrun {

// How many fixes apart the drawn ones may be, for a track logged every
// `fixInterval` seconds drawn at `pixelsPerMinute` to a minute of latitude
// (a nautical mile) in a fleet whose top speed is `topKnots`.
inline int drawingStride(double fixInterval, double topKnots, double pixelsPerMinute)
{
    const double pixelsPerFix = topKnots / 3600 * pixelsPerMinute * fixInterval;
    return pixelsPerFix > 0 && pixelsPerFix < 1 ? static_cast<int>(std::min(1 / pixelsPerFix, 1e6)) : 1;
}

// The drawn fixes piece by piece between the gaps where the logger was off:
// `startPiece()` before each piece, then `fix(i)` for its fixes in order,
// `stride` fixes apart but never across a gap, a piece's first and last
// fixes always among them.
template <typename StartPiece, typename Fix>
void forEachDrawnFix(const BoatEntry &boat, int stride, StartPiece &&startPiece, Fix &&fix)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    for (int first = 1; first <= n;) {
        startPiece();
        fix(first);
        int last = first;
        while (last < n) {
            int next = std::min(last + stride, n);
            if (s[next].time - s[last].time > kTrackGapSeconds) {
                next = last + 1;  // a gap within: fix by fix up to it
                if (gapBetween(s[last], s[next]))
                    break;
            }
            fix(next);
            last = next;
        }
        first = last + 1;
    }
}

}  // namespace keelrun
