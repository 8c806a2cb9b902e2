#include "io/tracks/track_bytes.h"

#include <algorithm>
#include <cmath>

#include "base/load_error.h"
#include "base/numbers.h"

namespace keelrun {

namespace {

// Minutes of arc, or kOffTheGlobe beyond 180 degrees.
double onTheGlobe(double minutes) { return std::abs(minutes) <= 180 * 60 ? minutes : kOffTheGlobe; }

}  // namespace

std::optional<double> coordinateMinutes(std::string_view number, CoordinateForm form)
{
    if (form == CoordinateForm::DecimalDegrees) {
        const auto degrees = parseNumber(number);
        return degrees ? std::optional<double>(onTheGlobe(*degrees * 60)) : std::nullopt;
    }
    // Whole degrees, then two digits of minutes (and two of seconds), then
    // the decimals.
    const std::size_t point = number.find('.');
    const std::size_t degreeDigits = form == CoordinateForm::DegreesMinutes ? 2 : 4;
    if (point == std::string_view::npos || point < degreeDigits)
        return std::nullopt;
    const std::string_view degreeText = number.substr(0, point - degreeDigits);
    const auto degrees = degreeText.empty() ? std::optional<int>(0) : parseInteger(degreeText);
    if (!degrees)
        return std::nullopt;
    if (degreeText.size() > 3)
        return kOffTheGlobe;
    if (form == CoordinateForm::DegreesMinutes) {
        const auto minutes = parseNumber(number.substr(point - 2));
        return minutes ? std::optional<double>(onTheGlobe(*degrees * 60.0 + *minutes)) : std::nullopt;
    }
    const auto minutes = parseInteger(number.substr(point - 4, 2));
    const auto seconds = parseNumber(number.substr(point - 2));
    if (!minutes || !seconds)
        return std::nullopt;
    return onTheGlobe(*degrees * 60.0 + *minutes + *seconds / 60);
}

void throwTrackError(const TrackContext &context, std::string_view bytes, std::size_t offset, std::string_view text,
                     const char *expected)
{
    offset = std::min(offset, bytes.size());
    const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 60)));
    throw LoadError(QStringLiteral("%1:%2 (byte %3): \"%4\" is not %5")
                        .arg(context.fileName)
                        .arg(line)
                        .arg(offset)
                        .arg(shown, QLatin1String(expected)));
}

}  // namespace keelrun
