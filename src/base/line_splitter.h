#pragma once
// The field splitter shared by the race file, the text track formats and the
// wind file. Fields are trimmed of blanks and control characters; an empty
// field reads "0", while a field the line does not have is absent.

#include <array>
#include <string>
#include <string_view>

namespace keelrun {

inline constexpr int kMaxFields = 20;

class SplitLine {
public:
    int count() const { return count_; }
    bool has(int i) const { return i >= 0 && i < count_; }
    // The text of field i; empty when the line has no such field.
    std::string_view field(int i) const { return has(i) ? fields_[i] : std::string_view{}; }
    // Field 0 in upper case: the tag of a race file line.
    std::string tag() const;
    // The line had more than kMaxFields fields; the rest were dropped.
    bool overflowed() const { return overflowed_; }

private:
    friend SplitLine splitLine(std::string_view line, char separator);
    std::array<std::string_view, kMaxFields> fields_{};
    int count_ = 0;
    bool overflowed_ = false;
};

// Views into `line`, which must outlive the result.
SplitLine splitLine(std::string_view line, char separator = ',');

// Removes leading and trailing blanks and control characters.
std::string_view trimmed(std::string_view text);

}  // namespace keelrun
