// What the program around the register offers: sounds, the restart and the
// end. The stand-ins already do the work through the platform layer.
#pragma once

namespace tarvo {

class ProgramService {
public:
    virtual ~ProgramService() = default;

    virtual void PlaySoundFile(int sound) = 0;
    virtual void RestartProgram() = 0;
    // Ends the program: the window closes and the program exits. The
    // stand-in, for a register without a window, closes what was registered
    // to be closed and exits.
    virtual void EndProgram() = 0;
};

}  // namespace tarvo
