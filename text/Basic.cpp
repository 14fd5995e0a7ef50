#include "Basic.h"

#include <cmath>
#include <limits>

namespace Basic {

double Val(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    double value = 0;
    bool point = false;
    double scale = 1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            if (point) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return neg ? -value : value;
}

int32_t CLng(double x) {
    if (std::isnan(x)) return 0;
    double f = std::floor(x);
    double diff = x - f;
    double r;
    if (diff > 0.5) r = f + 1;
    else if (diff < 0.5) r = f;
    else r = (std::fmod(f, 2.0) == 0) ? f : f + 1;
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

std::string Str(long long n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

std::string Left(std::string_view s, long long n) {
    if (n <= 0) return {};
    return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string Right(std::string_view s, long long n) {
    if (n <= 0) return {};
    auto len = static_cast<long long>(s.size());
    if (n >= len) return std::string(s);
    return std::string(s.substr(static_cast<std::size_t>(len - n)));
}

std::string Mid(std::string_view s, long long start, long long n) {
    if (start < 1) start = 1;
    auto len = static_cast<long long>(s.size());
    if (start > len) return {};
    auto from = static_cast<std::size_t>(start - 1);
    if (n < 0) return std::string(s.substr(from));
    return std::string(s.substr(from, static_cast<std::size_t>(n)));
}

long long InStr(long long start, std::string_view s, std::string_view what) {
    if (start < 1) start = 1;
    auto len = static_cast<long long>(s.size());
    if (start > len + 1) return 0;
    auto pos = s.find(what, static_cast<std::size_t>(start - 1));
    return pos == std::string_view::npos ? 0 : static_cast<long long>(pos) + 1;
}

namespace {
char UpperA(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
}  // namespace

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperA(a[i]) != UpperA(b[i])) return false;
    return true;
}

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = UpperA(c);
    return out;
}

}  // namespace Basic
