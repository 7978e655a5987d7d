// The finders: each takes its key from a program-wide key variable of gData
// and leaves the record number or table index in its result variable, 0 when
// not found. Keys compare as bytes, case-sensitive.
#pragma once
#include <cstdint>
#include <string>
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

// Keeps the finders' keys and results (client and product) and the product
// finder's price inputs while other look-ups run, and puts them back when it
// goes: a look-up of the entry form or of a kit's components never changes
// the client or product the sale in progress holds.
class FinderResultsKept {
public:
    FinderResultsKept();
    ~FinderResultsKept();
    FinderResultsKept(const FinderResultsKept&) = delete;
    FinderResultsKept& operator=(const FinderResultsKept&) = delete;

private:
    std::string clientKey_, clientRec_, productKey_, productRec_;
    std::int32_t clientRecNo_, newClientRecNo_, productRecNo_, newProductRecNo_;
    bool embeddedPriceCheck_, manualPrice_;
    Money manualPriceValue_;
};

}  // namespace tarvo
