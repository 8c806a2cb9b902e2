#include "export/kml.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QStringList>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/boat_colours.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

QString degrees(double minutes) { return numberText(minutes / 60); }
QString speedText(double knots) { return numberText(std::floor(knots * 100 + 0.5) / 100); }
QString headingText(double heading) { return QString::number(static_cast<long long>(std::trunc(heading))); }

// A boat where it is at one instant.
struct BoatPoint {
    GeoPoint at;
    double speed = 0;
    double heading = 0;
};

class KmlWriter {
public:
    KmlWriter(const RaceState &race, const KmlOptions &options) : r_(race), o_(options) {}

    QString race()
    {
        open();
        lines_ << QStringLiteral("<Folder><name>Track Lines</name>");
        for (int b = 1; b <= r_.boatCount; ++b) {
            if (eligible(b))
                track(b, trackPieces(b, 1, r_.boats[b].sampleCount()));
        }
        lines_ << QStringLiteral("</Folder>");
        timeSteps();
        marksAndLines();
        lines_ << QStringLiteral("</Folder></kml>");
        return text();
    }

    QString scene(const FrameState &frame)
    {
        open();
        lines_ << QStringLiteral("<Folder><name>") + escaped(timeText(addSeconds(r_.startTime, roundHalfEven(frame.now)))) + QStringLiteral("</name>");
        for (int b = 1; b <= r_.boatCount; ++b) {
            const BoatInFrame &place = frame.boats[b];
            if (!eligible(b) || !place.hasPosition)
                continue;
            const int i = place.currentSample;
            track(b, {trackPieces(b, i, std::max(1, i - 20)).front()});  // the wake back to a gap at most
            point(b, {{place.lat, place.lon}, place.speed, double(place.heading)}, dateTimeText(addSeconds(r_.startTime, roundHalfEven(frame.now))));
        }
        lines_ << QStringLiteral("</Folder></Folder></kml>");
        return text();
    }

private:
    bool focused(int b) const { return o_.shown.empty() ? r_.boats[b].shown == 1 : bool(o_.shown[b]); }
    bool eligible(int b) const { return !o_.hideUnfocused || focused(b); }
    QString text() const { return lines_.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); }

    void open()
    {
        lines_ << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
               << QStringLiteral("<kml xmlns=\"http://earth.google.com/kml/2.0\">") << QStringLiteral("<Folder>")
               << QStringLiteral("<name>") + escaped(kmlFolderName(r_.title)) + QStringLiteral("</name><open>1</open>");
    }

    // Every text of the race or the user's system written outside CDATA
    // (names, the title, dates, the icon folder's path) is escaped, so that
    // "&" or "<" in it keeps the file well-formed XML.
    static QString escaped(const QString &text) { return text.toHtmlEscaped(); }
    // Text inside a CDATA section is taken as it is, up to the first "]]>":
    // such a text is split across two sections.
    static QString inCdata(const QString &text)
    {
        return QString(text).replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
    }
    QString iconHref(const QString &icon) const
    {
        return QStringLiteral("<href>") + escaped(o_.iconFolder + icon) + QStringLiteral("</href>");
    }

    // Samples `from` to `to` (either way round) as "lon,lat,0.0 " lines, a
    // list for each piece of the track between the gaps where its logger
    // was off.
    std::vector<QStringList> trackPieces(int b, int from, int to) const
    {
        const auto &s = r_.boats[b].samples;
        std::vector<QStringList> pieces(1);
        const int step = from <= to ? 1 : -1;
        for (int i = from; i != to + step; i += step) {
            if (i != from && gapBetween(s[std::min(i, i - step)], s[std::max(i, i - step)]))
                pieces.emplace_back();
            pieces.back() << degrees(s[i].lon) + QLatin1Char(',') + degrees(s[i].lat) + QStringLiteral(",0.0 ");
        }
        return pieces;
    }

    // A boat's track: one line, or one line a piece between its gaps.
    void track(int b, const std::vector<QStringList> &pieces)
    {
        const bool broken = pieces.size() > 1;
        lines_ << QStringLiteral("<Placemark><name>") + escaped(r_.boats[b].name) + QStringLiteral("</name>")
               << QStringLiteral("<Style><LineStyle><color>") + r_.boats[b].kmlColour + QStringLiteral("</color><width>") +
                      (focused(b) ? QStringLiteral("2") : QStringLiteral("1")) + QStringLiteral("</width></LineStyle></Style>");
        if (broken)
            lines_ << QStringLiteral("<MultiGeometry>");
        for (const QStringList &points : pieces) {
            lines_ << QStringLiteral("<LineString><coordinates>") << points
                   << QStringLiteral("</coordinates></LineString>");
        }
        lines_.back() += broken ? QStringLiteral("</MultiGeometry></Placemark>") : QStringLiteral("</Placemark>");
    }

    void description(const BoatPoint &p, const QString &when)
    {
        const QString lat = degrees(p.at.lat), lon = degrees(p.at.lon);
        lines_ << QStringLiteral("<description><![CDATA[<ul type=\"disk\"><li>") + (o_.japanese ? QStringLiteral(u"日時：") : QStringLiteral(u"Date Time：")) + inCdata(when) + QStringLiteral("<br>");
        if (o_.japanese) {
            lines_ << QStringLiteral(u"<li>緯度： ") + lat + QStringLiteral(u"度<br>") << QStringLiteral(u"<li>経度： ") + lon + QStringLiteral(u"度<br>")
                   << QStringLiteral(u"<li>速度： ") + speedText(p.speed) + QStringLiteral(u"ノット<br>")
                   << QStringLiteral(u"<li>針路： ") + headingText(p.heading) + QStringLiteral(u"度(T)<br>");
        } else {
            lines_ << QStringLiteral(u"<li>LAT： ") + lat + QStringLiteral(" DEG<br>") << QStringLiteral(u"<li>LON： ") + lon + QStringLiteral(" DEG<br>")
                   << QStringLiteral(u"<li>BSP： ") + speedText(p.speed) + QStringLiteral(" KTS<br>")
                   << QStringLiteral(u"<li>HDG： ") + headingText(p.heading) + QStringLiteral(" DEG(T)<br>");
        }
        lines_ << QStringLiteral("</ul>]]></description>");
    }

    void point(int b, const BoatPoint &p, const QString &when)
    {
        lines_ << QStringLiteral("<Placemark><name>") + escaped(r_.boats[b].name) + QStringLiteral("</name>");
        description(p, when);
        lines_ << QStringLiteral("<visibility>1</visibility><Style><IconStyle><heading>0</heading><Icon>")
               << iconHref(QStringLiteral("ar%1.png").arg(kmlIconHeading(p.heading))) + QStringLiteral("</Icon></IconStyle></Style>")
               << QStringLiteral("<Point><coordinates>") + degrees(p.at.lon) + QLatin1Char(',') + degrees(p.at.lat) + QStringLiteral(",0</coordinates>")
               << QStringLiteral("</Point></Placemark>");
    }

    // Where a boat is at time step t: between the fixes of its segment (the
    // last one not searched), with the later fix's speed and heading.
    std::optional<BoatPoint> pointAt(int b, double t) const
    {
        const int j = placedAfter(r_.boats[b], t);
        if (j == 0)
            return std::nullopt;  // also while the logger was off
        const TrackSample &a = r_.boats[b].samples[j], &z = r_.boats[b].samples[j + 1];
        const double f = (t - a.time) / (z.time - a.time);
        return BoatPoint{{a.lat + f * (z.lat - a.lat), a.lon + f * (z.lon - a.lon)}, z.speed, z.heading};
    }

    void timeSteps()
    {
        lines_ << QStringLiteral("<Folder><name>POINTS</name>") << QStringLiteral("<visibility>0</visibility>") << QStringLiteral("<open>1</open>");
        const int step = kmlTimeStep(r_.windowEnd);
        const int steps = roundHalfEven(r_.windowEnd / step) + 1;
        for (int k = 0; k <= steps; ++k) {
            const double t = k * step;
            const QString when = dateTimeText(addSeconds(r_.startTime, t));
            lines_ << QStringLiteral("<Folder><name>") + escaped(when) + QStringLiteral("</name>");
            for (int b = 1; b <= r_.boatCount; ++b) {
                if (const auto p = eligible(b) ? pointAt(b, t) : std::nullopt)
                    point(b, *p, when);
            }
            lines_ << QStringLiteral("</Folder>");
        }
        lines_ << QStringLiteral("</Folder>");
    }

    void buoy(const QString &name, GeoPoint at)
    {
        lines_ << QStringLiteral("<Placemark><name>") + name + QStringLiteral("</name>")
               << QStringLiteral("<visibility>1</visibility><Style><IconStyle><Icon>")
               << iconHref(QStringLiteral("buoi.png")) + QStringLiteral("</Icon></IconStyle></Style>")
               << QStringLiteral("<Point><coordinates>") + degrees(at.lon) + QLatin1Char(',') + degrees(at.lat) + QStringLiteral(",0</coordinates>")
               << QStringLiteral("</Point></Placemark>");
    }

    void marksAndLines()
    {
        lines_ << QStringLiteral("<Folder><name>MARK_LINES</name>");
        for (int m = 1; m <= r_.markCount; ++m)
            buoy(QStringLiteral("MK%1").arg(m), {r_.marks[m].lat, r_.marks[m].lon});
        for (int n = 1; n <= r_.lineCount; ++n) {
            const CourseLine &line = r_.lines[n];
            lines_ << QStringLiteral("<Placemark><name>line%1</name>").arg(n)
                   << QStringLiteral("<Style><LineStyle><color>ff") + boatKmlColour(n).right(6) + QStringLiteral("</color><width>1</width></LineStyle></Style>")
                   << QStringLiteral("<LineString><coordinates>")
                   << degrees(line.end1.lon) + QLatin1Char(',') + degrees(line.end1.lat) + QStringLiteral(",0.0 ")
                   << degrees(line.end2.lon) + QLatin1Char(',') + degrees(line.end2.lat) + QStringLiteral(",0.0 ")
                   << QStringLiteral("</coordinates></LineString></Placemark>");
            buoy(QStringLiteral("LINE%1-P").arg(n), line.end1);
            buoy(QStringLiteral("LINE%1-S").arg(n), line.end2);
        }
        lines_ << QStringLiteral("</Folder>");
    }

    const RaceState &r_;
    const KmlOptions &o_;
    QStringList lines_;
};

}  // namespace

QString kmlFolderName(const QString &title)
{
    const qsizetype blank = title.indexOf(QLatin1Char(' '));
    const QString rest = blank < 0 ? title : title.mid(blank + 1);
    return rest.left(rest.indexOf(QLatin1Char('.')));  // all of it without a "."
}

int kmlIconHeading(double heading)
{
    const int h = static_cast<int>(std::trunc(heading / 10 + 0.5)) * 10;
    return h == 360 ? 0 : h;
}

int kmlTimeStep(double windowEnd)
{
    const double s = std::trunc(windowEnd / 50);
    if (s >= 1800)
        return 3600;
    if (s >= 1200)
        return 1800;
    if (s >= 600)
        return 1200;
    return s >= 300 ? 600 : 300;
}

QString raceKml(const RaceState &race, const KmlOptions &options) { return KmlWriter(race, options).race(); }

QString sceneKml(const RaceState &race, const FrameState &frame, const KmlOptions &options)
{
    return KmlWriter(race, options).scene(frame);
}

}  // namespace keelrun
