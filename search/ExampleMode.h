// The flag that tells the name lookup an example's input lines are being
// replayed: the lookup then shows the first of several exact hits at once
// instead of offering the choice. The examples module sets it around a replay.
#pragma once

#include <functional>
#include <string>

namespace Examples {
extern bool exampleMode;

// The Example button of a window: plays the window's next example. The
// examples player installs itself here; until then the button has nothing
// to play (windows disable it while it is empty).
extern std::function<void(const std::string& windowName)> showExample;
void ShowExample(const std::string& windowName);
}  // namespace Examples
