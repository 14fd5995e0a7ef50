// The windows that tutorial scripts and stored lists of open windows may name
// but that do nothing in this edition. Each is an empty child window under
// its own name and caption, so that a script line or a stored list naming it
// finds a window: it opens, is placed, stored, restored and closed like every
// other child window, and no menu item leads to it.
#pragma once

#include <array>
#include <string>

#include "FormBase.h"

class PlainWindow : public FormBase {
    Q_OBJECT
public:
    explicit PlainWindow(const std::string& name);

    // The size it opens at when nothing is stored, in pixels: small enough to
    // keep the frame's other windows in view, large enough to be found.
    static constexpr int kClientWidth = 360, kClientHeight = 200;

protected:
    void BuildControls() override;
};

namespace PlainWindows {

// Their names, in the order the name table gives them.
inline constexpr std::array<const char*, 9> kNames = {
    "Translate", "NameTables", "DebugMain", "DataEntry", "PersonEntry", "Load", "DebugInfo", "GenPop", "Harmony",
};

// Puts the nine windows into the window manager's name table.
void Register();

}  // namespace PlainWindows
