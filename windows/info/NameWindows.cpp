#include "NameWindows.h"

#include <memory>

#include "Alpha.h"
#include "NameDays.h"
#include "OrigLang.h"
#include "OrigWord.h"
#include "Pop.h"
#include "Realm.h"
#include "SingleName.h"
#include "Similar.h"
#include "WinMan.h"

namespace NameWindows {

void Register() {
    Auto::Register(WindowNames::kSingleName, [] { return std::make_unique<SingleName>(); });
    Auto::Register(WindowNames::kSimilar, [] { return std::make_unique<Similar>(); });
    Auto::Register("Alpha", [] { return std::make_unique<Alpha>(); });
    Auto::Register(WindowNames::kNameDays, [] { return std::make_unique<NameDays>(); });
    Auto::Register(WindowNames::kRealm, [] { return std::make_unique<Realm>(); });
    Auto::Register(WindowNames::kOrigWord, [] { return std::make_unique<OrigWord>(); });
    Auto::Register(WindowNames::kOrigLang, [] { return std::make_unique<OrigLang>(); });
    Auto::Register(WindowNames::kPop, [] { return std::make_unique<Pop>(); });
}

}  // namespace NameWindows
