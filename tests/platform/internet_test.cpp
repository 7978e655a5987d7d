#include "platform/internet.h"

#include <gtest/gtest.h>

#include "test_net.h"

namespace tarvo {
namespace {

InternetCheckConfig Loopback(const std::string& url) {
    InternetCheckConfig c;
    c.url = url;
    c.connectTimeoutMs = 300;
    c.totalTimeoutMs = 1000;
    return c;
}

TEST(InternetCheck, AnyAnswerBelowServerErrorMeansOnline) {
    struct Case {
        int status;
        bool online;
    } cases[] = {
        {200, true}, {204, true}, {302, true}, {404, true}, {499, true}, {500, false}, {503, false},
    };
    for (const auto& c : cases) {
        LocalHttpServer server(c.status);
        ASSERT_TRUE(server.Bound());
        EXPECT_EQ(Internet_Check(Loopback(server.Url())), c.online) << c.status;
    }
}

TEST(InternetCheck, AsksForAFreshLoad) {
    LocalHttpServer server(200);
    ASSERT_TRUE(Internet_Check(Loopback(server.Url())));
    ASSERT_TRUE(Internet_Check(Loopback(server.Url())));
    EXPECT_EQ(server.CacheControl(), (std::vector<std::string>{"no-cache", "no-cache"}));
}

TEST(InternetCheck, NothingListeningMeansOffline) {
    ClosedPort port;
    ASSERT_TRUE(port.Bound());
    EXPECT_FALSE(Internet_Check(Loopback(port.Url())));
    EXPECT_FALSE(Internet_Check(Loopback("not a url")));
}

}  // namespace
}  // namespace tarvo
