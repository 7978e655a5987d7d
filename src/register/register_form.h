// The register window's load: brings the register up in its documented
// order, each step owned by its subsystem.
#pragma once
#include <functional>
#include <string>

namespace tarvo {

// Form_Load. `loadDataAndSettings` opens and loads the data files, reads the
// settings and builds the word indexes; it returns false (with `message`
// set) when the program must end. Then the screen is built, the totals panel
// set up, the receipt shown, the communication schedule started and the register
// reset to the login prompt.
bool Form_Load(const std::function<bool(std::string& message)>& loadDataAndSettings, std::string& message);

}  // namespace tarvo
