// The golden document of the rich-text tests: what the builder must write
// (tests/describe) and what the pane must read back (tests/platform).
#pragma once

#include <cstdint>
#include <string>

#include "TextDisplay.h"

namespace golden {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kGrey = 0xC0C0C0;

// Bold, a tab, the characters RTF escapes, a byte above 0x7F, and two links
// (one with an apostrophe and a blank, one with a background colour).
inline void Build(TextDisplay& td) {
    td.BeginText();
    td.BeginPara();
    td.BeginBold();
    td.AddStr("Name");
    td.EndBold();
    td.AddTab();
    td.AddStr("a\\b {c} R\xE9");
    td.EndPara();
    td.BeginPara();
    td.AddNumLink("O'Brien Anna", 17, kRed, kNoBackColour);
    td.AddStr(", ");
    td.AddNumLink("Zo\xEB", 4711, kGreen, kGrey);
    td.EndPara();
    td.EndText();
}

inline std::string Document() {
    TextDisplay td;
    td.Init("Golden", nullptr, nullptr);
    td.SetTabPos(49);  // the English heading column, whatever the text language
    Build(td);
    return td.GetStr();
}

}  // namespace golden
