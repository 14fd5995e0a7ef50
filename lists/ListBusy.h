// The busy cursor around long list operations (filling a long list view,
// saving and loading list files). One place, so that it can follow the
// program's nesting busy-cursor counter.
#pragma once

#include "Searches.h"

namespace ListBusy {
inline void On() { Searches::HourglassOn(); }
inline void Off() { Searches::HourglassOff(); }
}  // namespace ListBusy
