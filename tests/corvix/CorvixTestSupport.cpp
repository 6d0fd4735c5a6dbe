#include "CorvixTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ByteCursor.h"
#include "CorvixLimits.h"

namespace corvix::test {

std::vector<uint8_t> ReadHexFile(const std::string& name) {
    std::ifstream file(std::string(CORVIX_TEST_DATA) + "/" + name);
    EXPECT_TRUE(file) << "cannot open " << name;
    std::vector<uint8_t> bytes;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

uint32_t Ip(const char* dotted) {
    in_addr address{};
    EXPECT_EQ(inet_pton(AF_INET, dotted, &address), 1) << dotted;
    return address.s_addr;
}

SystemAdapter MakeAdapter(const std::string& name,
                          const std::vector<std::pair<const char*, const char*>>& pairs) {
    SystemAdapter adapter;
    adapter.name = name;
    adapter.description = "test adapter " + name;
    for (const auto& [address, mask] : pairs)
        adapter.ipv4.emplace_back(Ip(address), Ip(mask));
    return adapter;
}

void FillTable(const std::vector<SystemAdapter>& adapters) {
    FillAdapterTable(adapters, [](const SystemAdapter&) { return true; });
}

std::vector<uint8_t> MakeAnswer(std::array<uint8_t, 4> address, std::array<uint8_t, 6> mac,
                                const std::string& model, const std::string& name) {
    std::vector<uint8_t> answer(kAnswerSize, 0);
    ambrel::ByteWriter writer(answer);
    writer.Be16(0, 2);
    writer.Bytes(2, address);
    writer.Bytes(6, mac);
    const auto asBytes = [](const std::string& text) {
        return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    EXPECT_TRUE(writer.Bytes(12, asBytes(model.substr(0, 20))));
    EXPECT_TRUE(writer.Bytes(32, asBytes(name.substr(0, 128))));
    return answer;
}

}  // namespace corvix::test
