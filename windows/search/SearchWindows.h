// The search windows of this folder, made known to the window manager by
// their names.
#pragma once

namespace SearchWindows {
void Register();
}
