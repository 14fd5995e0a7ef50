// Puts the windows that carry names into and out of the program (the user's
// new names, the export and the printing of the current list) into the window
// manager's name table; start-up calls Register once, before the frame
// decides which of its commands are enabled.
#pragma once

namespace OutputWindows {

void Register();

}  // namespace OutputWindows
