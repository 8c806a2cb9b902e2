#include "names.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace keelrun::sim {
namespace {

// Nine first words and nine second words make 81 names, one per boat slot.
constexpr std::array<const char *, 9> kEnglishFirst = {"Blue", "Silver", "Wild", "North", "Morning",
                                                       "Swift", "Red", "Golden", "Storm"};
constexpr std::array<const char *, 9> kEnglishSecond = {"Heron", "Wind", "Wave", "Star", "Tern",
                                                        "Spray", "Comet", "Falcon", "Tide"};
constexpr std::array<const char *, 9> kJapaneseFirst = {"青", "白", "紅", "蒼", "朝", "夕", "疾", "海", "天"};
constexpr std::array<const char *, 9> kJapaneseSecond = {"風", "波", "鴎", "星", "龍", "翔", "凪", "潮", "帆"};

// From the fastest class to the slowest.
constexpr std::array<const char *, 10> kEnglishClasses = {
    "Open 50", "Performance 45", "Racer 40", "Racer 36", "Sport 33",
    "Classic 35", "Cruiser 30", "Cruiser 27", "One Design 24", "Dayboat 22"};
constexpr std::array<const char *, 10> kJapaneseClasses = {
    "オープン50", "パフォーマンス45", "レーサー40", "レーサー36", "スポーツ33",
    "クラシック35", "クルーザー30", "クルーザー27", "ワンデザイン24", "デイボート22"};

}  // namespace

std::vector<std::string> boatNames(int count, bool japanese, Random &rng)
{
    std::vector<int> order(81);
    for (int i = 0; i < 81; ++i)
        order[i] = i;
    for (int i = 80; i > 0; --i)  // Fisher-Yates with our own generator
        std::swap(order[i], order[rng.integer(0, i)]);
    std::vector<std::string> names;
    for (int i = 0; i < std::min(count, 81); ++i) {
        const int first = order[i] / 9, second = order[i] % 9;
        names.push_back(japanese ? std::string(kJapaneseFirst[first]) + kJapaneseSecond[second] + "丸"
                                 : std::string(kEnglishFirst[first]) + " " + kEnglishSecond[second]);
    }
    return names;
}

std::string className(double speedFactor, bool japanese, FleetKind fleet)
{
    if (fleet != FleetKind::Keelboats) {
        static constexpr std::array<const char *, 4> kEnglish = {"Foiling Cat 50", "Foiling Cat 40", "Dinghy 16", "Dinghy 14"};
        static constexpr std::array<const char *, 4> kJapanese = {"フォイリングキャット50", "フォイリングキャット40", "ディンギー16", "ディンギー14"};
        const std::size_t index = (fleet == FleetKind::Dinghies ? 2 : 0) + (speedFactor < 1 ? 1 : 0);
        return japanese ? kJapanese[index] : kEnglish[index];
    }
    const long index = std::clamp(std::lround((1.12 - speedFactor) / 0.24 * 9), 0L, 9L);
    return japanese ? kJapaneseClasses[index] : kEnglishClasses[index];
}

RaceTexts raceTexts(const SimOptions &o)
{
    const std::string year = std::to_string(o.start.year);
    const std::string laps = std::to_string(o.laps);
    const std::string seed = std::to_string(o.seed);
    RaceTexts t;
    if (o.japanese) {
        t.title = std::string("湾内ヨットレース").append(year);
        t.subtitle = o.name + (o.course == CourseKind::Triangle ? " 三角コース " : " 上下コース ") + laps + "周" +
                     (o.gate ? " ゲート" : "");
        t.note = "keelrun-simulate による模擬レース（シード " + seed + "）";
    } else {
        t.title = std::string("Bay Regatta ").append(year);
        t.subtitle = o.name + (o.course == CourseKind::Triangle ? " triangle " : " windward-leeward ") + laps +
                     (o.laps == 1 ? " lap" : " laps") + (o.gate ? " with a leeward gate" : "");
        t.note = "Simulated race from keelrun-simulate (seed " + seed + ")";
    }
    return t;
}

}  // namespace keelrun::sim
