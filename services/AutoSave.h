// When a window that saves by itself (the favorites, the new names) writes a
// change: its one-minute timer saves once the clock's minute is at least two
// past the minute of the last change. Only minutes are compared, wrapping at
// the full hour, so every further change postpones the save.
#pragma once

namespace AutoSave {

// nowMinute and changeMinute are minutes of the hour (0 to 59).
//   change 10:58, tick 11:00 -> due (0 + 60 - 58 = 2)
//   change 10:59, tick 11:00 -> not yet (1), the tick at 11:01 saves
bool MinuteSaveDue(int nowMinute, int changeMinute);

}  // namespace AutoSave
