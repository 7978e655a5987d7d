#include "print/devices.h"

#include <fstream>

namespace tarvo {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

DeviceMap DeviceMap_Load(const std::string& programFolder) {
    DeviceMap map;
    std::ifstream in(programFolder + "/" + kDeviceMapFile);
    std::string line;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;
        const auto eq = t.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = Upper(Trim(t.substr(0, eq)));
        if (name.empty()) continue;
        map.entries[name] = Trim(t.substr(eq + 1));
    }
    return map;
}

std::string Device_Path(const DeviceMap& map, const std::string& portName) {
    const std::string name = Upper(portName);
    if (name.size() != 4) return {};
    const bool com = name.rfind("COM", 0) == 0, lpt = name.rfind("LPT", 0) == 0;
    const char digit = name[3];
    if (!(com && digit >= '1' && digit <= '6') && !(lpt && digit >= '1' && digit <= '3')) return {};
    if (auto it = map.entries.find(name); it != map.entries.end() && !it->second.empty()) return it->second;
    const int index = digit - '1';
    return com ? "/dev/ttyS" + std::to_string(index) : "/dev/lp" + std::to_string(index);
}

std::string Device_SpoolerQueue(const DeviceMap& map) {
    auto it = map.entries.find("SPOOLER");
    return it == map.entries.end() ? std::string() : it->second;
}

}  // namespace tarvo
