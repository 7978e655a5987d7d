// The start-up check of the working folders.
#pragma once
#include <string>
#include <vector>

#include "config/settings.h"

namespace tarvo {

// Makes sure Files/, Data/ and the card-exchange folders exist under the
// program folder (creating what is missing), points the card-exchange paths
// there, and starts "Startup.sh" of the program folder (detached, through
// /bin/sh) when it exists. Never fails: problems go to the returned text.
std::string Folders_Check(const std::string& programFolder, Settings& s);

// The files of this terminal that the register writes and that stand as
// symbolic links: the working files (`dataPath` & ".*"), the log and the
// settings file (`filesPath` & ".LOG", ".SET"). Every opener refuses them;
// the start-up names them to the operator. Full paths, sorted.
std::vector<std::string> Folders_LinkedFiles(const std::string& dataPath, const std::string& filesPath);

}  // namespace tarvo
