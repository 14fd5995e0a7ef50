#include "ExampleMode.h"

namespace Examples {
bool exampleMode = false;
std::function<void(const std::string&)> showExample;

void ShowExample(const std::string& windowName) {
    if (showExample) showExample(windowName);
}
}  // namespace Examples
