// The two smallest back-office tasks: the server test and the product-master
// lookup.
#pragma once

namespace tarvo {

// Task 0. Shows which server is tested on the message line (the full host
// name when the entry box holds exactly "1"), asks the server and shows
// "Test Successful " or "Test Unsuccessful " and the answer for 10 seconds;
// a request that fails shows "Test Resulted in an error".
void Online_Test();

// Task 1. Empties elements 1 to 10 of gOnline.gProductLookup; when element 0
// holds a product code and gProductLookupOn is 1, asks the back office and
// puts the reply's "category", "class" and "department" into elements 1 to 3
// (empty when absent). False only when the request failed (already logged;
// the elements stay empty): the caller decides what to tell.
bool ASP_Product_Master();

}  // namespace tarvo
