#include "KeyDerivation.h"

#include <openssl/evp.h>
#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace ambrel {

namespace {

using Digest = std::array<uint8_t, 32>;

struct MdContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

Digest Sha256(EVP_MD_CTX* context, std::span<const uint8_t> input) {
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    EVP_DigestUpdate(context, input.data(), input.size());
    EVP_DigestFinal_ex(context, digest.data(), &length);
    return digest;
}

// PBKDF1 with SHA-256 and 1000 iterations over text followed by salt.
Key16 Pbkdf1(std::string_view text, std::span<const uint8_t> salt) {
    std::vector<uint8_t> input(text.begin(), text.end());
    input.insert(input.end(), salt.begin(), salt.end());
    std::unique_ptr<EVP_MD_CTX, MdContextDeleter> context(EVP_MD_CTX_new());
    Digest digest = Sha256(context.get(), input);
    for (int i = 1; i < 1000; ++i)
        digest = Sha256(context.get(), digest);
    Key16 key{};
    std::copy_n(digest.begin(), key.size(), key.begin());
    return key;
}

std::string_view UpToNul(std::string_view text, size_t limit) {
    text = text.substr(0, std::min(text.size(), limit));
    size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

void FillRandom(std::span<uint8_t> out) {
    size_t filled = 0;
    while (filled < out.size()) {
        ssize_t got = getrandom(out.data() + filled, out.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            std::abort();  // no entropy source at all: never fall back to a guessable key
        }
        filled += static_cast<size_t>(got);
    }
}

// The device-password generator: a 64-bit linear congruential generator.
constexpr uint64_t kPasswordMultiplier = 6364136223846793005ULL;
constexpr uint64_t kPasswordIncrement = 1442695040888963407ULL;

uint64_t Step(uint64_t state) {
    return state * kPasswordMultiplier + kPasswordIncrement;
}

}  // namespace

Key16 DeriveNetworkKey(std::string_view networkName) {
    return Pbkdf1(UpToNul(networkName, kMaxNetworkNameChars), kNetworkKeySalt);
}

Key16 DeriveDeviceKey(std::string_view password) {
    return Pbkdf1(UpToNul(password, kDevicePasswordLength), kDeviceKeySalt);
}

void RandomNetworkKey(Key16& out) {
    do {
        FillRandom(out);
    } while (out == kDefaultNetworkKey);
}

uint32_t RandomWord() {
    std::array<uint8_t, 4> bytes{};
    FillRandom(bytes);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void DefaultDevicePassword(const MacAddress& mac, std::span<char, kDevicePasswordLength> out) {
    const uint64_t seedA = static_cast<uint64_t>(mac[0]) << 16 | mac[1] << 8 | mac[2];
    const uint64_t seedB = static_cast<uint64_t>(mac[3]) << 16 | mac[4] << 8 | mac[5];

    std::array<char, 256> pool{};
    size_t poolSize = 0;
    uint64_t state = seedA;
    while (poolSize < pool.size()) {
        state = Step(state);
        char code = static_cast<char>((state >> 16) & 0x7F);
        if (code >= 'A' && code <= 'Z')
            pool[poolSize++] = code;
    }

    state = seedB;
    size_t pos = 0;
    for (int k = 0; k < 16; ++k) {
        if (k == 4 || k == 8 || k == 12)
            out[pos++] = '-';
        state = Step(state);
        out[pos++] = pool[(state >> 16) % pool.size()];
    }
}

std::array<char, kDevicePasswordLength> DefaultDevicePassword(const MacAddress& mac) {
    std::array<char, kDevicePasswordLength> password{};
    DefaultDevicePassword(mac, password);
    return password;
}

}  // namespace ambrel
