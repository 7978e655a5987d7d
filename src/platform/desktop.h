// Sound and the web browser.
#pragma once
#include <string>

namespace tarvo {

// Sound number 1 is S1.wav of the program folder, played without waiting when
// a player (pw-play, paplay or aplay) exists; silent otherwise and for any
// other number or a missing file.
void PlaySoundFile(const std::string& programFolder, int number);

// Opens the address in the desktop's web browser: `launcher` (xdg-open, or
// a program of the caller's: a name found in PATH or a path) started with the
// address as its one argument, never through a shell; false when the
// launcher does not exist or cannot be started.
bool Browser_Open(const std::string& launcher, const std::string& address);

}  // namespace tarvo
