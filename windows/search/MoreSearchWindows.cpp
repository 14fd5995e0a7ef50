#include "MoreSearchWindows.h"

#include <memory>

#include "PickRandom.h"
#include "WinMan.h"

namespace MoreSearchWindows {

void Register() {
    Auto::Register("PickRandom", [] { return std::make_unique<PickRandom>(); });
}

}  // namespace MoreSearchWindows
