// Product updates: Files/<terminal>.PRU lines replace or add products; the
// product text file is rewritten in key order and reloaded.
#pragma once

namespace tarvo {

// gSettings.gProductKeyMode from the settings file ("9" when no 250 line).
void Setting_ProductKey();
// Applies the update file when there is one.
void Process_ProductUpdate();

}  // namespace tarvo
