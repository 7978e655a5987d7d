// Which Linux device stands for each port name the register uses.
//
// The map is the text file "ports.map" in the program folder. Format, one
// entry a line:
//
//     NAME=VALUE
//
// NAME is COM1..COM6 or LPT1..LPT3 (any case) and VALUE the device path, e.g.
//     COM1=/dev/ttyUSB0
//     LPT1=/dev/usb/lp0
// and SPOOLER names the print queue used by printer type "6"
// (empty or missing: the default destination of the print server):
//     SPOOLER=Receipts
// Blanks around NAME and VALUE are ignored, as are empty lines and lines that
// begin with "#" or ";". A later entry for the same NAME wins.
//
// A port with no entry (or no map file) uses the usual device:
// COMn -> /dev/ttyS(n-1), LPTn -> /dev/lp(n-1).
#pragma once
#include <map>
#include <string>

namespace tarvo {

inline constexpr const char* kDeviceMapFile = "ports.map";

struct DeviceMap {
    std::map<std::string, std::string> entries;  // upper-case NAME -> VALUE
};

// Reads <programFolder>/ports.map; a missing file gives an empty map.
DeviceMap DeviceMap_Load(const std::string& programFolder);

// The device path for a port name ("COM1", "lpt1", case-insensitive);
// empty for a name that is not a port.
std::string Device_Path(const DeviceMap& map, const std::string& portName);

// The print queue for printer type "6"; empty = the server's default.
std::string Device_SpoolerQueue(const DeviceMap& map);

}  // namespace tarvo
