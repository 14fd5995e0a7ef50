// DbText: a text the database keeps (an atom's name and keys, a property's
// string). It is a view of bytes that stay where they are until the next
// InitDataBase, in the database's string arena. It reads like std::string_view and turns into a std::string where
// one is wanted (assignment, a const std::string& parameter, "+"); it is not
// NUL-terminated, so copy it (std::string(t)) before handing it to C.
#pragma once

#include <string>
#include <string_view>

class DbText : public std::string_view {
public:
    constexpr DbText() noexcept = default;
    constexpr DbText(std::string_view v) noexcept : std::string_view(v) {}
    constexpr DbText(const char* s) : std::string_view(s) {}

    operator std::string() const { return std::string(data(), size()); }
    std::string str() const { return std::string(data(), size()); }
};

inline std::string operator+(const DbText& a, const DbText& b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
}
inline std::string operator+(const DbText& a, const std::string& b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
}
inline std::string operator+(const std::string& a, const DbText& b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
}
inline std::string operator+(std::string&& a, const DbText& b) { return std::move(a.append(b)); }
inline std::string operator+(const DbText& a, const char* b) { return a + std::string(b); }
inline std::string operator+(const char* a, const DbText& b) { return std::string(a) + b; }
inline std::string operator+(const DbText& a, char b) {
    std::string s(a);
    s += b;
    return s;
}
inline std::string operator+(char a, const DbText& b) {
    std::string s(1, a);
    s.append(b);
    return s;
}
