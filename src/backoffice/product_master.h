// The product-master look-up of the back office (task 1).
#pragma once

namespace tarvo {

// Task 1. Empties elements 1 to 10 of gOnline.gProductLookup; when element 0
// holds a product code and gProductLookupOn is 1, asks the back office and
// puts the reply's "category", "class" and "department" into elements 1 to 3
// (empty when absent). False only when the request failed (already logged;
// the elements stay empty): the caller decides what to tell.
bool ASP_Product_Master();

}  // namespace tarvo
