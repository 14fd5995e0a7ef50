// The flag that tells the name lookup an example's input lines are being
// replayed: the lookup then shows the first of several exact hits at once
// instead of offering the choice. The examples module sets it around a replay.
#pragma once

namespace Examples {
extern bool exampleMode;
}  // namespace Examples
