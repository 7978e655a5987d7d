// What the program around the register offers: sounds and the restart. The
// stand-ins already do the work through the platform layer.
#pragma once

namespace tarvo {

class ProgramService {
public:
    virtual ~ProgramService() = default;

    virtual void PlaySoundFile(int sound);
    virtual void RestartProgram();
};

}  // namespace tarvo
