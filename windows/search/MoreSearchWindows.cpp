#include "MoreSearchWindows.h"

#include <memory>

#include "LetterMix.h"
#include "PickRandom.h"
#include "WinMan.h"

namespace MoreSearchWindows {

void Register() {
    Auto::Register("LetterMix", [] { return std::make_unique<LetterMix>(); });
    Auto::Register("PickRandom", [] { return std::make_unique<PickRandom>(); });
}

}  // namespace MoreSearchWindows
