#include "Cp1252.h"

#include <array>

namespace Cp1252 {
namespace {

// 0x80..0x9F: the only range where cp1252 differs from Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

char32_t ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

std::optional<unsigned char> FromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string FromUtf8(std::string_view in, char replacement, bool* ok) {
    std::string out;
    out.reserve(in.size());
    bool clean = true;
    std::size_t i = 0;
    while (i < in.size()) {
        auto b = static_cast<unsigned char>(in[i]);
        char32_t cp = 0;
        std::size_t n = 0;
        if (b < 0x80) { cp = b; n = 1; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; n = 2; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; n = 3; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; n = 4; }
        bool valid = n > 0 && i + n <= in.size();
        for (std::size_t k = 1; valid && k < n; ++k) {
            auto c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80) valid = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        // The shortest form only, and Unicode's own range without surrogates.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
        if (!valid) {
            out += replacement;
            clean = false;
            ++i;
            continue;
        }
        auto byte = FromUnicode(cp);
        if (byte) {
            out += static_cast<char>(*byte);
        } else {
            out += replacement;
            clean = false;
        }
        i += n;
    }
    if (ok) *ok = clean;
    return out;
}

std::string ToUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 4);
    for (char c : in) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace Cp1252

std::string operator""_cp(const char* utf8, std::size_t len) {
    return Cp1252::FromUtf8(std::string_view(utf8, len));
}
