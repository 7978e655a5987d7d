// Sound and the web browser.
#pragma once
#include <string>

namespace tarvo {

// Sound number 1 is S1.wav of the program folder, played without waiting when
// a player (pw-play, paplay or aplay) exists; silent otherwise and for any
// other number or a missing file.
void PlaySoundFile(const std::string& programFolder, int number);

// Opens the address in the desktop's web browser: the browser launcher
// (xdg-open unless Browser_SetLauncher chose another) started with the
// address as its one argument, never through a shell; false when no launcher
// exists or it cannot be started.
bool Browser_Open(const std::string& address);

// The program Browser_Open starts (a name found in PATH or a path); "" goes
// back to xdg-open.
void Browser_SetLauncher(const std::string& program);

}  // namespace tarvo
