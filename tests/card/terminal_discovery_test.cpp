// Finding the card terminal among loopback addresses (every 127.0.0.x is
// this machine): fake terminals listen on chosen addresses, the others
// refuse the connection.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "card/fake_terminal.h"
#include "card/terminal_discovery.h"

namespace tarvo {
namespace {

std::string Reply(const std::string&) { return ""; }

TEST(TerminalDiscovery, TwoAnsweringHostsAreBothFoundAndTheLaterIsKept) {
    FakeTerminal first(Reply, "127.0.0.7");
    ASSERT_GT(first.Port(), 0);
    FakeTerminal second(Reply, "127.0.0.9", first.Port());
    ASSERT_EQ(second.Port(), first.Port());
    card::DiscoveryConfig config;
    config.port = first.Port();
    ASSERT_TRUE(card::DiscoveryRange_Make("127.0.0.5", true, config.range));
    const std::atomic<bool> cancel{false};
    const auto hosts = card::Discovery_Scan(config, cancel);

    ASSERT_EQ(hosts.size(), 15u);  // 1 to 15
    EXPECT_EQ(hosts.front().address, "127.0.0.1");
    for (const card::DiscoveryHost& h : hosts) {
        const bool terminal = h.address == "127.0.0.7" || h.address == "127.0.0.9";
        EXPECT_EQ(h.alive, terminal) << h.address;
        EXPECT_EQ(h.found, terminal) << h.address;
        EXPECT_EQ(h.name, terminal ? "*** Terminal Found ***" : "") << h.address;
    }
    EXPECT_EQ(card::Discovery_Chosen(hosts), "127.0.0.9");
}

TEST(TerminalDiscovery, NothingAnsweringFindsNothing) {
    int port = 0;
    {
        FakeTerminal gone(Reply, "127.0.0.3");
        port = gone.Port();
    }
    card::DiscoveryConfig config;
    config.port = port;
    ASSERT_TRUE(card::DiscoveryRange_Make("127.0.0.250", true, config.range));
    EXPECT_EQ(config.range.first, 240);
    EXPECT_EQ(config.range.last, 254);  // never the broadcast address
    const std::atomic<bool> cancel{false};
    const auto hosts = card::Discovery_Scan(config, cancel);
    EXPECT_EQ(hosts.size(), 15u);
    EXPECT_EQ(card::Discovery_Chosen(hosts), "");
}

TEST(TerminalDiscovery, CancelStopsTheScanWhereItIs) {
    FakeTerminal late(Reply, "127.0.0.200");
    card::DiscoveryConfig config;
    config.port = late.Port();
    ASSERT_TRUE(card::DiscoveryRange_Make("127.0.0.10", false, config.range));
    EXPECT_EQ(config.range.first, 1);
    std::atomic<bool> cancel{false};
    int lastStarted = 0;
    const auto hosts = card::Discovery_Scan(config, cancel, [&](int n) {
        lastStarted = n;
        if (n == 100) cancel = true;
    });
    EXPECT_LE(lastStarted, 100 + card::kMaxProbesInFlight);
    EXPECT_LT(hosts.size(), 200u);
    EXPECT_EQ(card::Discovery_Chosen(hosts), "");
}

TEST(TerminalDiscovery, OwnAddressMustBeAnIpv4Address) {
    card::DiscoveryRange r;
    EXPECT_FALSE(card::DiscoveryRange_Make("", true, r));
    EXPECT_FALSE(card::DiscoveryRange_Make("host.local", true, r));
    EXPECT_FALSE(card::DiscoveryRange_Make("10.0.0.1:80", true, r));
}

}  // namespace
}  // namespace tarvo
