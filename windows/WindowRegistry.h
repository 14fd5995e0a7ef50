// Every child window the program opens by name, registered with the window
// manager. The program's top hands this to the shell's start-up (the shell
// sits below the windows and cannot name them); the tests that start the
// whole program hand it the same way.
#pragma once

namespace WindowRegistry {

// Registers the factories of the information, list, quiz, search and output
// windows in the window manager's table (which must be fresh: WinMan's init).
void RegisterAll();

}  // namespace WindowRegistry
