#include "SearchWindows.h"

#include <memory>

#include "FullText.h"
#include "Lang.h"
#include "LetterMix.h"
#include "Lexi.h"
#include "PickRandom.h"
#include "WinMan.h"

namespace SearchWindows {

void Register() {
    Auto::Register("Lexi", [] { return std::make_unique<Lexi>(); });
    Auto::Register("Lang", [] { return std::make_unique<Lang>(); });
    Auto::Register("FullText", [] { return std::make_unique<FullText>(); });
    Auto::Register("LetterMix", [] { return std::make_unique<LetterMix>(); });
    Auto::Register("PickRandom", [] { return std::make_unique<PickRandom>(); });
}

}  // namespace SearchWindows
