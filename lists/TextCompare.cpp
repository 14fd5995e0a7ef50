#include "TextCompare.h"

#include <string>

#include "DataBase.h"

namespace TextCompare {

int Compare(std::string_view a, std::string_view b) {
    return DataBase::CompareText(a, b);
}

int CompareReversed(std::string_view a, std::string_view b) {
    return DataBase::CompareTextReversed(a, b);
}

int CompareBinary(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

}  // namespace TextCompare
