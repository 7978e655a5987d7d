// The start-up check of the working folders.
#pragma once
#include <string>

#include "config/settings.h"

namespace tarvo {

// Makes sure Files/, Data/ and the card-exchange folders exist under the
// program folder (creating what is missing), points the card-exchange paths
// there, and starts "Startup.sh" of the program folder (detached, through
// /bin/sh) when it exists. Never fails: problems go to the returned text.
std::string Folders_Check(const std::string& programFolder, Settings& s);

}  // namespace tarvo
