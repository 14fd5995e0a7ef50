#include "OutputWindows.h"

#include <memory>

#include "Export.h"
#include "WinMan.h"

namespace OutputWindows {

void Register() {
    Auto::Register("Export", [] { return std::make_unique<Export>(); });
}

}  // namespace OutputWindows
