// Puts the quiz window, the quiz options and the quiz result into the window
// manager's name table; start-up calls Register once, before the frame
// decides which of its commands are enabled.
#pragma once

#include <string>

namespace QuizWindows {

void Register();

// Opens a window as the frame's own command does (the input guard asks
// first); without a frame (tests, benchmarks) through the window manager.
void ShowForm(const std::string& name);

}  // namespace QuizWindows
