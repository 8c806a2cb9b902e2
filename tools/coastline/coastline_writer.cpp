#include "coastline_writer.h"

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QFile>
#include <QMap>

#include "base/load_error.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "race/coastline.h"

namespace keelrun::coast {
namespace {

constexpr double kCellLat = 5, kCellLon = 7.5;
const QString kManifest = QStringLiteral("keelrun-coastline.txt");
const QString kGeneralFile = QStringLiteral("toba.cst");

QByteArray minutes(double value) { return QByteArray::number(value, 'f', 4); }

// A point of GPS coordinates in the Tokyo datum: the shift the reader adds,
// taken off (once more at the moved point, which is near enough).
GeoPoint toTokyoDatum(GeoPoint p)
{
    const GeoPoint first = datumShift(p.lat, p.lon);
    const GeoPoint shift = datumShift(p.lat - first.lat, p.lon - first.lon);
    return {p.lat - shift.lat, p.lon - shift.lon};
}

// The part of the segment a-b inside the box (Liang-Barsky), if any.
std::optional<std::pair<GeoPoint, GeoPoint>> clipSegment(GeoPoint a, GeoPoint b, const Area &box)
{
    double t0 = 0, t1 = 1;
    const double dx = b.lon - a.lon, dy = b.lat - a.lat;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.lon - box.west, box.east - a.lon, a.lat - box.south, box.north - a.lat};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return std::nullopt;
    return std::pair{GeoPoint{a.lat + t0 * dy, a.lon + t0 * dx}, GeoPoint{a.lat + t1 * dy, a.lon + t1 * dx}};
}

// The pieces of the shorelines inside a box.
std::vector<Polyline> clipToBox(const std::vector<Polyline> &shores, const Area &box)
{
    std::vector<Polyline> pieces;
    for (const Polyline &shore : shores) {
        bool joined = false;
        for (std::size_t i = 1; i < shore.size(); ++i) {
            const auto inside = clipSegment(shore[i - 1], shore[i], box);
            if (!inside) {
                joined = false;
                continue;
            }
            if (!joined)
                pieces.push_back({inside->first});
            pieces.back().push_back(inside->second);
            // The piece goes on only when the segment ended inside the box.
            joined = inside->second.lat == shore[i].lat && inside->second.lon == shore[i].lon;
        }
    }
    return pieces;
}

// A 5-column field of 0..10000 across the cell.
QByteArray cellField(double fraction)
{
    return QByteArray::number(std::clamp(roundHalfEven(fraction * 10000), 0, 10000)).rightJustified(5, ' ');
}

QByteArray cellText(int pq, int rs, int t, int u, const std::vector<Polyline> &pieces, GeoPoint corner)
{
    QByteArray text = "M " + QByteArray::number(pq).rightJustified(2, '0') + QByteArray::number(rs).rightJustified(2, '0') +
                      QByteArray::number(t) + QByteArray::number(u) + "\r\n";
    for (const Polyline &piece : pieces) {
        text += "L" + QByteArray(48, ' ') + QByteArray::number(piece.size()).rightJustified(6, ' ') + "\r\n";
        // Seven pairs a record; the last record is filled out with zeros.
        for (std::size_t at = 0; at < piece.size(); at += 7) {
            for (std::size_t k = at; k < at + 7; ++k) {
                const GeoPoint p = k < piece.size() ? piece[k] : corner;
                text += cellField((p.lon - corner.lon) / kCellLon) + cellField((p.lat - corner.lat) / kCellLat);
            }
            text += "\r\n";
        }
    }
    return text;
}

// The files the generator wrote, each with the command that last wrote it.
QMap<QString, QString> readManifest(const QString &dir)
{
    QFile file(QDir(dir).filePath(kManifest));
    QMap<QString, QString> written;
    if (!file.open(QIODevice::ReadOnly))
        return written;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString name = text.section(QLatin1Char('\t'), 0, 0).trimmed();
        if (!name.isEmpty())
            written[name] = text.section(QLatin1Char('\t'), 1).trimmed();
    }
    return written;
}

void saveFile(const QString &path, const QByteArray &content)
{
    if (const QString problem = replaceFile(path, content); !problem.isEmpty())
        throw LoadError(QStringLiteral("%1: %2").arg(path, problem));
}

}  // namespace

std::vector<Polyline> parseGmtDump(const QByteArray &dump)
{
    std::vector<Polyline> shores;
    bool newShore = true;
    for (const QByteArray &raw : dump.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('>')) {
            newShore = true;
            continue;
        }
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool lonOk = false, latOk = false;
        const double lon = fields.value(0).toDouble(&lonOk), lat = fields.value(1).toDouble(&latOk);
        if (!lonOk || !latOk)
            throw LoadError(QStringLiteral("the GMT output has a line that is not \"lon lat\": \"%1\"").arg(QString::fromUtf8(line)));
        if (newShore)
            shores.emplace_back();
        newShore = false;
        shores.back().push_back({lat * 60, lon * 60});
    }
    return shores;
}

QByteArray generalFileText(const std::vector<Polyline> &shores)
{
    QByteArray text;
    for (const Polyline &shore : shores) {
        for (std::size_t i = 0; i < shore.size(); ++i)
            text += (i == 0 ? "R," : "") + minutes(shore[i].lat) + "," + minutes(shore[i].lon) + "\r\n";
    }
    return text;
}

std::vector<QByteArray> generalFileShores(const QByteArray &text)
{
    std::vector<QByteArray> shores;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith("R,") || shores.empty())
            shores.emplace_back();
        shores.back() += trimmed + "\r\n";
    }
    return shores;
}

QStringList gridSquares(const Area &area)
{
    CoastWindow window;
    window.south = area.south;
    window.north = area.north;
    window.west = area.west;
    window.east = area.east;
    return coastlineMapNames(window);
}

std::optional<Area> squareArea(const QString &name)
{
    bool latOk = false, lonOk = false;
    const int pq = name.left(2).toInt(&latOk), rs = name.mid(2).toInt(&lonOk);
    if (!latOk || !lonOk || name.size() != 4)
        return std::nullopt;
    return Area{pq * 40.0, pq * 40.0 + 40, (rs + 100) * 60.0, (rs + 100) * 60.0 + 60};
}

QByteArray detailedFileText(const QString &square, const std::vector<Polyline> &shores)
{
    const auto area = squareArea(square);
    if (!area)
        return {};
    std::vector<Polyline> tokyo;
    for (const Polyline &shore : shores) {
        Polyline moved;
        for (const GeoPoint &p : shore)
            moved.push_back(toTokyoDatum(p));
        tokyo.push_back(std::move(moved));
    }
    const int pq = square.left(2).toInt(), rs = square.mid(2).toInt();
    QByteArray text;
    for (int t = 0; t < 8; ++t) {
        for (int u = 0; u < 8; ++u) {
            const GeoPoint corner{area->south + t * kCellLat, area->west + u * kCellLon};
            const Area cell{corner.lat, corner.lat + kCellLat, corner.lon, corner.lon + kCellLon};
            const std::vector<Polyline> pieces = clipToBox(tokyo, cell);
            if (!pieces.empty())
                text += cellText(pq, rs, t, u, pieces, corner);
        }
    }
    return text;
}

QStringList writeCoastlineFiles(const QString &coastlineDir, const Area &area, const std::vector<Polyline> &shores,
                                bool force, const QString &commandLine)
{
    QDir dir(coastlineDir);
    if (!dir.mkpath(QStringLiteral(".")))
        throw LoadError(QStringLiteral("%1: cannot make the folder").arg(coastlineDir));
    QMap<QString, QString> ours = readManifest(coastlineDir);
    QStringList done;
    const auto mayWrite = [&](const QString &name) { return force || !QFile::exists(dir.filePath(name)) || ours.contains(name); };

    // The general file grows with each area, by the shores it lacks: a run
    // again for an area it holds leaves it as it was.
    QByteArray general;
    if (QFile existing(dir.filePath(kGeneralFile)); existing.open(QIODevice::ReadOnly))
        general = existing.readAll();
    const std::vector<QByteArray> held = generalFileShores(general);
    QByteArray added;
    int count = 0;
    for (const QByteArray &shore : generalFileShores(generalFileText(clipToBox(shores, area)))) {
        if (std::find(held.begin(), held.end(), shore) == held.end()) {
            added += shore;
            ++count;
        }
    }
    if (count > 0) {
        if (!general.isEmpty() && !general.endsWith('\n'))
            general += "\r\n";
        saveFile(dir.filePath(kGeneralFile), general + added);
        done << QStringLiteral("appended %1 shore%2 to %3").arg(count).arg(count == 1 ? "" : "s", kGeneralFile);
        const QString &before = ours.value(kGeneralFile);
        ours[kGeneralFile] = before.isEmpty() ? commandLine : before + QStringLiteral(" ; ") + commandLine;
    } else {
        done << QStringLiteral("%1 already holds these shores").arg(kGeneralFile);
    }

    for (const QString &square : gridSquares(area)) {
        const QString name = square + QStringLiteral(".cst");
        if (!mayWrite(name)) {
            done << QStringLiteral("left %1 alone: not written by keelrun-coastline (--force to replace it)").arg(name);
            continue;
        }
        saveFile(dir.filePath(name), detailedFileText(square, shores));
        done << QStringLiteral("wrote %1").arg(name);
        ours[name] = commandLine;
    }
    QByteArray manifest;
    for (auto it = ours.cbegin(); it != ours.cend(); ++it)
        manifest += it.key().toUtf8() + "\t" + it.value().toUtf8() + "\n";
    saveFile(dir.filePath(kManifest), manifest);
    return done;
}

}  // namespace keelrun::coast
