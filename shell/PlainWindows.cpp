#include "PlainWindows.h"

#include <memory>

#include "ShellKit.h"
#include "WinMan.h"

PlainWindow::PlainWindow(const std::string& name) : FormBase(name) {}

void PlainWindow::BuildControls() {
    // Nothing in it to make room for: it keeps the size it opens at.
    FitClient(*this, kClientWidth, kClientHeight);
    SetCaption(Name());
    SetSizable(false);
}

namespace PlainWindows {

void Register() {
    for (const char* name : kNames)
        Auto::Register(name, [name] { return std::make_unique<PlainWindow>(name); });
}

}  // namespace PlainWindows
