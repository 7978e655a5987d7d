// Printing and the customer devices behind their service interfaces: what
// the sale engine and the register reach through Printing() and Devices().
#pragma once
#include "screen/device_service.h"
#include "screen/print_service.h"

namespace tarvo {

class PrintingImpl final : public PrintService {
public:
    void Printer_Open() override;
    void Printer_Line(int newLine, int code, const std::string& text) override;
    void Printer_Close(bool closeHandle) override;
    std::int16_t PrintStatus() const override;
    void PrintToScreen_End() override;
    void Item_PrintLine() override;
};

class CustomerDevices : public DeviceService {
public:
    void Customer_Greeting() override;
    void Customer_Total() override;
    void Customer_PriceChecker() override;
    std::int16_t DisplayError() const override;
    void Scale_Open(std::function<bool(double)> weighed) override;
    void Scale_Close() override;
};

}  // namespace tarvo
