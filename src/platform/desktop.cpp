#include "platform/desktop.h"

#include "platform/files.h"
#include "platform/process.h"

namespace tarvo {

void PlaySoundFile(const std::string& programFolder, int number) {
    if (number != 1) return;
    std::string wav = programFolder + "/S1.wav";
    if (!FileExists(wav)) return;
    for (const char* player : {"pw-play", "paplay", "aplay"}) {
        if (ProgramExists(player)) {
            SpawnDetached(std::string(player) == "aplay" ? std::vector<std::string>{player, "-q", wav}
                                                         : std::vector<std::string>{player, wav});
            return;
        }
    }
}

bool Browser_Open(const std::string& launcher, const std::string& address) {
    if (!ProgramExists(launcher)) return false;
    return SpawnDetached({launcher, address});
}

}  // namespace tarvo
