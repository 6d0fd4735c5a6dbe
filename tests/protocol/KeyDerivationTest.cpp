#include "KeyDerivation.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <regex>
#include <set>
#include <string>

namespace ambrel {
namespace {

// The key generation written out plainly, to check the production code.
Key16 ReferenceKey(std::string_view text, std::span<const uint8_t> salt) {
    std::string input(text);
    input.append(salt.begin(), salt.end());
    uint8_t digest[32];
    EVP_Digest(input.data(), input.size(), digest, nullptr, EVP_sha256(), nullptr);
    for (int i = 1; i < 1000; ++i)
        EVP_Digest(digest, 32, digest, nullptr, EVP_sha256(), nullptr);
    Key16 key{};
    std::copy_n(digest, key.size(), key.begin());
    return key;
}

TEST(KeyDerivation, NetworkKeysMatchTheStandardsPublishedValues) {
    EXPECT_EQ(DeriveNetworkKey(kDefaultNetworkPassword), kDefaultNetworkKey);
    const Key16 published{0xB5, 0x93, 0x19, 0xD7, 0xE8, 0x15, 0x7B, 0xA0,
                          0x01, 0xB0, 0x18, 0x66, 0x9C, 0xCE, 0xE3, 0x0D};
    EXPECT_EQ(DeriveNetworkKey("HomePlugAV0123"), published);
}

TEST(KeyDerivation, TextsAreTakenUpToNulAndCutAtTheirLimit) {
    // An empty name hashes the salt alone.
    EXPECT_EQ(DeriveNetworkKey(""), ReferenceKey("", kNetworkKeySalt));
    // A name is read up to its first NUL.
    EXPECT_EQ(DeriveNetworkKey(std::string_view("Home\0junk", 9)), DeriveNetworkKey("Home"));
    // At most 64 characters of a network name count.
    std::string longName(80, 'n');
    EXPECT_EQ(DeriveNetworkKey(longName), ReferenceKey(std::string(64, 'n'), kNetworkKeySalt));

    // A 19-character password is used whole, a shorter one stops at its NUL.
    const char whole[19] = {'A', 'B', 'C', 'D', '-', 'E', 'F', 'G', 'H', '-',
                            'I', 'J', 'K', 'L', '-', 'M', 'N', 'O', 'P'};
    EXPECT_EQ(DeriveDeviceKey(std::string_view(whole, sizeof whole)),
              ReferenceKey("ABCD-EFGH-IJKL-MNOP", kDeviceKeySalt));
    const char shorter[19] = {'s', 'e', 'c', 'r', 'e', 't'};
    EXPECT_EQ(DeriveDeviceKey(std::string_view(shorter, sizeof shorter)),
              ReferenceKey("secret", kDeviceKeySalt));
    EXPECT_NE(DeriveDeviceKey("secret"), DeriveNetworkKey("secret"));
}

TEST(KeyDerivation, RandomKeysDifferAndAreNeverTheDefault) {
    std::set<Key16> seen;
    for (int i = 0; i < 64; ++i) {
        Key16 key{};
        RandomNetworkKey(key);
        EXPECT_NE(key, kDefaultNetworkKey);
        seen.insert(key);
    }
    // Two calls in the same second must not give the same key.
    EXPECT_EQ(seen.size(), 64u);
}

TEST(KeyDerivation, DefaultDevicePasswordIsStableAndWellFormed) {
    const std::regex pattern("[A-Z]{4}-[A-Z]{4}-[A-Z]{4}-[A-Z]{4}");
    const MacAddress macs[] = {{0, 0, 0, 0, 0, 0},
                               {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                               {0x00, 0xB0, 0x52, 0x12, 0x34, 0x56},
                               {0x00, 0xB0, 0x52, 0x12, 0x34, 0x57}};
    std::set<std::string> passwords;
    for (const MacAddress& mac : macs) {
        auto password = DefaultDevicePassword(mac);
        std::string text(password.data(), password.size());
        EXPECT_TRUE(std::regex_match(text, pattern)) << text;
        auto again = DefaultDevicePassword(mac);
        EXPECT_EQ(password, again);
        passwords.insert(text);
    }
    EXPECT_EQ(passwords.size(), std::size(macs));
}

}  // namespace
}  // namespace ambrel
