#include "SearchWindows.h"

#include <memory>

#include "FullText.h"
#include "Lang.h"
#include "Lexi.h"
#include "WinMan.h"

namespace SearchWindows {

void Register() {
    Auto::Register("Lexi", [] { return std::make_unique<Lexi>(); });
    Auto::Register("Lang", [] { return std::make_unique<Lang>(); });
    Auto::Register("FullText", [] { return std::make_unique<FullText>(); });
}

}  // namespace SearchWindows
