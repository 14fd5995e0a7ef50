// Puts the letter combinations and the random names into the window
// manager's name table; start-up calls it once, before the frame decides
// which of its commands are enabled.
#pragma once

namespace MoreSearchWindows {
void Register();
}  // namespace MoreSearchWindows
