// The smallest back-office task: the server test.
#pragma once

namespace tarvo {

// Task 0. Shows which server is tested on the message line (the full host
// name when the entry box holds exactly "1"), asks the server and shows
// "Test Successful " or "Test Unsuccessful " and the answer for 10 seconds;
// a request that fails shows "Test Resulted in an error".
void Online_Test();

}  // namespace tarvo
