// The finders: each takes its key from a program-wide key variable of gData
// and leaves the record number or table index in its result variable, 0 when
// not found. Keys compare as bytes, case-sensitive.
#pragma once
#include <cstdint>
#include <string_view>

#include "data/data_state.h"

namespace tarvo {

void Product_Find();           // gProductKey -> gProductRecNo / gNewProductRecNo, gProductRec
void Client_Find();            // gClientKey -> gClientRecNo / gNewClientRecNo, gClientRec
void Client_FindLinear();      // gClientKey (client id, columns 1-8) -> gClientRecNo
void Invoice_Find();           // gDocumentKey -> gInvoiceRecNo
void InvoiceDetail_Find();     // gDocumentKey & "001" -> gInvoiceLineRecNo
void Payment_Find();           // gDocumentKey & "01" -> gPaymentRecNo
void Order_Find();             // gOrderKey -> gDocumentRecNo
void OrderDetail_Find();       // gOrderKey & "001" -> gDocumentLineRecNo
void OrderPayment_Find();      // gOrderKey & "01" -> gOrderPaymentRecNo
void AdjustmentDetail_Find();  // gOrderKey & "001" -> gDocumentLineRecNo
void Purchase_Find();          // gOrderKey -> gDocumentRecNo
void PurchaseDetail_Find();    // gDocumentKey & "001" -> gPurchaseLineRecNo
void Vendor_Find();            // gVendorCode -> gVendorRecNo
void Cashier_FindByKey();      // gCashierKey -> gCashierFound
void Cashier_FindByNumber();   // gCashierKey -> gCashierFound
void Category_Find();          // gCategoryKey -> gCategoryIndex
void Manager_FindByNumber();   // gManagerKey -> gManagerIndex
void Salesman_FindByKey();     // gSalesmanKey -> gSalesmanIndex
void Salesman_FindByNumber();  // gSalesmanKey -> gSalesmanIndex

// The product key of a product record: 20 characters from column 12
// (product number, key mode "0") or from column 40 (bar code), trailing
// blanks removed.
std::string_view ProductKeyOf(std::string_view record);

}  // namespace tarvo
