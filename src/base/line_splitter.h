#pragma once
// The field splitter shared by the race file, the text track formats and the
// wind file. Fields are trimmed of blanks and control characters; an empty
// field reads "0", while a field the line does not have is absent.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace keelrun {

// A line holds field 0 (a race file's tag) and up to 20 more: the longest
// course line, a tag and 20 course items.
inline constexpr int kMaxFields = 21;

inline bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

// Removes leading and trailing blanks and control characters.
inline std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

class SplitLine {
public:
    int count() const { return count_; }
    bool has(int i) const { return i >= 0 && i < count_; }
    // The text of field i; empty when the line has no such field.
    std::string_view field(int i) const { return has(i) ? std::string_view(fields_[i].text, fields_[i].size) : std::string_view{}; }
    // Field 0 in upper case: the tag of a race file line.
    std::string tag() const;
    // The line had more fields than were read; the rest were dropped.
    bool overflowed() const { return overflowed_; }

private:
    friend SplitLine splitLine(std::string_view line, char separator, int most);
    bool cutPlain(std::string_view text, char separator, int limit);
    void cutAny(std::string_view text, char separator, int limit);
    // Left unset past count(): a line is split for each line of a file.
    struct Field {
        const char *text;
        std::size_t size;
    };
    std::array<Field, kMaxFields> fields_;
    int count_ = 0;
    bool overflowed_ = false;
};

// The separators among the first 64 bytes of `text`, one bit for each byte,
// the first byte's lowest. Readers that know where their fields stand find
// them all at once with it.
std::uint64_t separatorBits(std::string_view text, char separator);
// The bytes among the first 64 of `text` that trimming removes (blanks,
// control characters and DEL), one bit each as for separatorBits.
std::uint64_t blankBits(std::string_view text);

// Views into `line`, which must outlive the result. At most `most` fields
// are read (1 to kMaxFields): a reader that needs only the first few of a
// long line stops there.
SplitLine splitLine(std::string_view line, char separator = ',', int most = kMaxFields);

}  // namespace keelrun
