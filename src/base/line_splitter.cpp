#include "base/line_splitter.h"

#include <algorithm>

namespace keelrun {
namespace {

constexpr std::string_view kEmptyField = "0";

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

std::string_view orZero(std::string_view field) { return field.empty() ? kEmptyField : field; }

}  // namespace

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string SplitLine::tag() const
{
    std::string tag(field(0));
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return tag;
}

SplitLine splitLine(std::string_view line, char separator)
{
    SplitLine out;
    std::string_view rest = trimmed(line);
    for (;;) {
        const std::size_t p = rest.find(separator);
        if (p == std::string_view::npos) {
            out.fields_[out.count_++] = orZero(rest);
            return out;
        }
        out.fields_[out.count_++] = orZero(trimmed(rest.substr(0, p)));
        rest = trimmed(rest.substr(p + 1));
        if (out.count_ == kMaxFields) {
            out.overflowed_ = true;
            return out;
        }
    }
}

}  // namespace keelrun
