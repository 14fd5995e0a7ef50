#include "OutputWindows.h"

#include <memory>

#include "Export.h"
#include "PrintOptions.h"
#include "UserNames.h"
#include "WinMan.h"

namespace OutputWindows {

void Register() {
    Auto::Register("Export", [] { return std::make_unique<Export>(); });
    Auto::Register("PrintOptions", [] { return std::make_unique<PrintOptions>(); });
    Auto::Register("UserNames", [] { return std::make_unique<UserNames>(); });
}

}  // namespace OutputWindows
