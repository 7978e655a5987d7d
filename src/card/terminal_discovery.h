// Finding the card terminal on the register's subnet: each address of a
// range probed by a TCP connection to the terminal's port (raw ICMP needs
// privileges), at most 32 probes in flight, then each address that took
// the connection asked for the terminal's page. Runs on the background
// runner's worker; a cancel stops it between probes.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvo::card {

constexpr int kMaxProbesInFlight = 32;

struct DiscoveryRange {
    std::string prefix;  // "192.168.1."
    int first = 1, last = 254;
};
// The range around `ownAddress` (an IPv4 address): quick, ten hosts either
// side; complete, the whole /24 without its network and broadcast
// addresses. False when `ownAddress` is no IPv4 address.
bool DiscoveryRange_Make(const std::string& ownAddress, bool quick, DiscoveryRange& range);

struct DiscoveryHost {
    std::string address;
    bool alive = false;  // took a TCP connection on the terminal's port
    bool found = false;  // answered the page request
    std::string name;    // "*** Terminal Found ***" when the page says so
};

struct DiscoveryConfig {
    DiscoveryRange range;
    int port = 8443;
    int connectTimeoutMs = 300;
    long pageTimeoutMs = 1000;
};

// Every address of the range in increasing order with what it answered.
// `cancel` set stops the scan; the hosts probed so far are returned.
// `progress` (may be empty) is told each host number as its probe starts.
std::vector<DiscoveryHost> Discovery_Scan(const DiscoveryConfig& config, const std::atomic<bool>& cancel,
                                          const std::function<void(int)>& progress = {});

// The address to keep: the last host found, empty when none.
std::string Discovery_Chosen(const std::vector<DiscoveryHost>& hosts);

}  // namespace tarvo::card
