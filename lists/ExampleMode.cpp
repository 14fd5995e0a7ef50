#include "ExampleMode.h"

namespace Examples {
bool exampleMode = false;
}  // namespace Examples
