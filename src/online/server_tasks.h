// The smallest back-office task: the server test.
#pragma once
#include "platform/background_runner.h"

namespace tarvo {

// Task 0. Shows which server is tested on the message line (the full host
// name when the entry box holds exactly "1"), asks the server and shows
// "Test Successful " or "Test Unsuccessful " and the answer for 10 seconds;
// a request that fails shows "Test Resulted in an error".
void Online_Test();

// Online_Test with the request on the background runner: the register's keys
// are locked from the announcement until the outcome is shown.
void Online_Test_Start(BackgroundRunner& runner);

}  // namespace tarvo
