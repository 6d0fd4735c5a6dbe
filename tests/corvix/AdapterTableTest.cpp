#include <gtest/gtest.h>
#include <stdlib.h>

#include <bit>
#include <map>
#include <string>

#include "AdapterEnumeration.h"
#include "CorvixTestSupport.h"
#include "DiscoverySocket.h"
#include "InterfaceOverride.h"
#include "ScanTables.h"
#include "SystemAdapters.h"

namespace corvix {
namespace {

using test::Ip;
using test::MakeAdapter;

class AdapterTableTest : public ::testing::Test {
protected:
    void SetUp() override { ResetScanTables(); }
    void TearDown() override {
        ResetScanTables();
        ClearInterfaceOverride();
    }
};

TEST_F(AdapterTableTest, KeepsTheFirstFiveAdaptersThatAreTaken) {
    std::vector<SystemAdapter> adapters;
    for (int i = 0; i < 8; ++i) {
        adapters.push_back(
            MakeAdapter("eth" + std::to_string(i), {{"192.0.2.1", "255.255.255.0"}}));
    }
    // eth1 is not taken: the table holds eth0, eth2, eth3, eth4, eth5.
    FillAdapterTable(adapters, [](const SystemAdapter& adapter) { return adapter.name != "eth1"; });
    ASSERT_EQ(scanAdapterTable.count, kMaxScanAdapters);
    const char16_t* expected[] = {u"eth0", u"eth2", u"eth3", u"eth4", u"eth5"};
    for (size_t i = 0; i < kMaxScanAdapters; ++i) {
        EXPECT_EQ(scanAdapterTable.adapters[i].name, expected[i]);
    }
}

TEST_F(AdapterTableTest, ChainsLaterAddressesInOrderUpToTwenty) {
    SystemAdapter adapter = MakeAdapter("eth0", {});
    for (int k = 1; k <= 25; ++k) {
        const std::string text = "203.0.113." + std::to_string(k);
        adapter.ipv4.emplace_back(Ip(text.c_str()), Ip("255.255.255.0"));
    }
    test::FillTable({adapter});
    ASSERT_EQ(scanAdapterTable.count, 1u);
    int length = 0;
    for (const AddressPair* pair = &scanAdapterTable.adapters[0].addresses; pair != nullptr;
         pair = pair->next.get()) {
        ++length;
        EXPECT_EQ(pair->address, u"203.0.113." + test::AsU16(std::to_string(length)));
        EXPECT_EQ(pair->mask, u"255.255.255.0");
    }
    EXPECT_EQ(length, static_cast<int>(kMaxAddressPairs));
}

TEST_F(AdapterTableTest, AdapterWithoutIpv4GetsTheZeroPair) {
    test::FillTable({MakeAdapter("eth0", {})});
    ASSERT_EQ(scanAdapterTable.count, 1u);
    const AddressPair& first = scanAdapterTable.adapters[0].addresses;
    EXPECT_EQ(first.address, u"0.0.0.0");
    EXPECT_EQ(first.mask, u"0.0.0.0");
    EXPECT_EQ(first.next, nullptr);
}

TEST_F(AdapterTableTest, CutsTextsToTheirFields) {
    SystemAdapter adapter = MakeAdapter("eth0", {{"192.0.2.1", "255.255.255.0"}});
    adapter.description = std::string(300, 'd');
    adapter.gateway = "192.0.2.254.extra.text";
    adapter.hardwareAddress = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0};
    test::FillTable({adapter});
    const ScanAdapter& entry = scanAdapterTable.adapters[0];
    EXPECT_EQ(entry.description, std::u16string(kAdapterDescriptionWidth, u'd'));
    EXPECT_EQ(entry.gateway.size(), kAddressTextWidth);
    EXPECT_EQ(entry.hardwareAddress, adapter.hardwareAddress);
}

TEST_F(AdapterTableTest, ReleaseClearsEveryAdapter) {
    test::FillTable({MakeAdapter("a", {{"192.0.2.1", "255.255.255.0"}, {"192.0.2.2", "255.0.0.0"}}),
                     MakeAdapter("b", {{"198.51.100.1", "255.255.255.0"}})});
    ReleaseAdapterLists();
    EXPECT_EQ(scanAdapterTable.count, 0u);
    for (const ScanAdapter& adapter : scanAdapterTable.adapters) {
        EXPECT_TRUE(adapter.name.empty());
        EXPECT_TRUE(adapter.addresses.address.empty());
        EXPECT_EQ(adapter.addresses.next, nullptr);
    }
}

TEST_F(AdapterTableTest, OverrideNamingNoInterfaceEnumeratesNothing) {
    test::FillTable({MakeAdapter("old", {{"192.0.2.1", "255.255.255.0"}})});
    SetInterfaceOverride({"corvix-test-none"});
    EnumeratePhysicalAdapters();
    EXPECT_EQ(scanAdapterTable.count, 0u);
}

TEST_F(AdapterTableTest, UnavailableBindAddressRebuildsTheTable) {
    test::FillTable({MakeAdapter("old", {{"203.0.113.77", "255.255.255.0"}})});
    SetInterfaceOverride({});
    // No interface of this machine has 203.0.113.77: bind fails with
    // EADDRNOTAVAIL, and the stale adapter is gone afterwards.
    EXPECT_EQ(OpenDiscoverySocket(Ip("203.0.113.77")), kInvalidSocket);
    EXPECT_EQ(scanAdapterTable.count, 0u);
}

TEST(InterfaceList, SplitsAndTrims) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"veth0,veth1", {"veth0", "veth1"}},
        {" veth0 , veth1 ", {"veth0", "veth1"}},
        {"eth0,,", {"eth0"}},
        {"", {}},
        {" , ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseInterfaceList(c.text), c.names) << c.text;
}

TEST(InterfaceList, EnvironmentSetsTheOverrideOnlyWhenItNamesSomething) {
    ClearInterfaceOverride();
    setenv(kInterfaceOverrideVariable, " , ", 1);
    EXPECT_FALSE(LoadInterfaceOverrideFromEnvironment());
    EXPECT_EQ(CurrentInterfaceOverride(), std::nullopt);
    setenv(kInterfaceOverrideVariable, "veth0,veth1", 1);
    EXPECT_TRUE(LoadInterfaceOverrideFromEnvironment());
    EXPECT_EQ(CurrentInterfaceOverride(), (std::vector<std::string>{"veth0", "veth1"}));
    unsetenv(kInterfaceOverrideVariable);
    ClearInterfaceOverride();
}

TEST(DefaultGateways, TakesTheFirstUsableDefaultRoutePerInterface) {
    const char* routes =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\tFE0200C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth0\t00000000\t010200C0\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
        "eth0\t000200C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
        "eth1\t00000000\t016433C6\t0002\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth2\t00000000\t017100CB\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "broken line\n";
    const auto gateways = ParseDefaultGateways(routes);
    const std::map<std::string, std::string> expected = {{"eth0", "192.0.2.254"},
                                                         {"eth2", "203.0.113.1"}};
    // The file prints the in-memory value of each address; the lines above
    // are as a little-endian machine writes them.
    if constexpr (std::endian::native == std::endian::little) {
        EXPECT_EQ(gateways, expected);
    }
}

}  // namespace
}  // namespace corvix
