#include "NameWindows.h"

#include <memory>

#include "SingleName.h"
#include "Similar.h"
#include "WinMan.h"

namespace NameWindows {

void Register() {
    Auto::Register(WindowNames::kSingleName, [] { return std::make_unique<SingleName>(); });
    Auto::Register(WindowNames::kSimilar, [] { return std::make_unique<Similar>(); });
}

}  // namespace NameWindows
