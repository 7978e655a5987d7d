// Product updates: Files/<terminal>.PRU lines replace or add products; the
// product text file is rewritten in key order and reloaded.
#pragma once

namespace tarvo {

// gSettings.gProductKeyMode from the first character of the settings file's
// 250 line (as "9" reads when there is none).
void Setting_ProductKey();
// Applies the update file when there is one.
void Process_ProductUpdate();

}  // namespace tarvo
