// What the sale engine offers the layers below it: a product added as the
// next line (the entry box's code), the keys locked, and the product a price
// change acts on forgotten. The register and the features above the sale call
// its routines directly; the Total key itself is the register's
// (RegisterKeysService).
//
// The stand-in (SaleStandIn, screen/service_stand_ins.h) is what a register
// without a sale engine does: a product answers "Invalid Entry", the rest
// does nothing. The sale folder implements the real one.
#pragma once

namespace tarvo {

class SaleService {
public:
    virtual ~SaleService() = default;

    // Adds the product of gData.gProductRec / gNewProductRecNo as the next line.
    virtual void Product_Add() = 0;
    // Locks the register's keys (ordinary lock).
    virtual void Buttons_Lock() = 0;
    // Forgets the product a price change acts on.
    virtual void OnlineProduct_Clear() = 0;
};

}  // namespace tarvo
