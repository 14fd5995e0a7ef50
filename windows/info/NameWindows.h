// Puts the name window and the choice among similar entries into the window
// manager's name table; start-up calls it once, before the frame decides
// which of its commands are enabled.
#pragma once

namespace NameWindows {
void Register();
}  // namespace NameWindows
