#include "QosPacking.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambrel {
namespace {

struct LayoutCase {
    const char* name;
    const PibLayout* layout;
};

class QosPackingTest : public ::testing::TestWithParam<LayoutCase> {
protected:
    const PibLayout& Layout() const { return *GetParam().layout; }
    std::vector<uint8_t> block_ = std::vector<uint8_t>(Layout().minimumLength, 0x5A);
};

TEST_P(QosPackingTest, MapBytesE4UnpackToRepeatedZeroToThreeAndPackBack) {
    for (size_t i = 0; i < 4; ++i)
        block_[Layout().priorityMap + i] = 0xE4;
    block_[Layout().mapSwitches] = 1;
    block_[Layout().mapSwitches + 1] = 0;
    const std::vector<uint8_t> original = block_;

    auto qos = UnpackQos(block_, Layout());
    ASSERT_TRUE(qos);
    const std::array<uint8_t, 8> expected{0, 1, 2, 3, 0, 1, 2, 3};
    EXPECT_EQ(qos->vlanPriorityMap, expected);
    EXPECT_EQ(qos->tosPriorityMap, expected);
    EXPECT_EQ(qos->vlanMapEnabled, 1);
    EXPECT_EQ(qos->tosMapEnabled, 0);
    EXPECT_EQ(qos->basePriorities, (std::array<uint8_t, 4>{0x5A, 0x5A, 0x5A, 0x5A}));

    ASSERT_TRUE(PackQos(block_, Layout(), *qos));
    EXPECT_EQ(block_, original);
}

TEST_P(QosPackingTest, PackingTouchesOnlyTheQosFields) {
    const QosSettings preset = QosPreset(1);
    ASSERT_TRUE(PackQos(block_, Layout(), preset));
    for (size_t i = 0; i < block_.size(); ++i) {
        const bool field = (i >= Layout().basePriorities && i < Layout().basePriorities + 4) ||
                           (i >= Layout().mapSwitches && i < Layout().mapSwitches + 2) ||
                           (i >= Layout().priorityMap && i < Layout().priorityMap + 4);
        if (!field) {
            EXPECT_EQ(block_[i], 0x5A) << "byte " << i;
        }
    }
    EXPECT_EQ(UnpackQos(block_, Layout())->vlanPriorityMap, preset.vlanPriorityMap);
}

TEST_P(QosPackingTest, ValuesAboveThreeDoNotSpillIntoTheirNeighbours) {
    QosSettings settings{};
    settings.vlanPriorityMap[0] = 0xFF;  // only its two bits may be set
    ASSERT_TRUE(PackQos(block_, Layout(), settings));
    EXPECT_EQ(block_[Layout().priorityMap], 0x03);
    auto back = UnpackQos(block_, Layout());
    EXPECT_EQ(back->vlanPriorityMap, (std::array<uint8_t, 8>{3, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_P(QosPackingTest, ShortBlockIsRefusedAndLeftAlone) {
    block_.resize(Layout().minimumLength - 1);
    const std::vector<uint8_t> original = block_;
    EXPECT_FALSE(UnpackQos(block_, Layout()));
    EXPECT_FALSE(PackQos(block_, Layout(), QosPreset(2)));
    EXPECT_EQ(block_, original);
}

INSTANTIATE_TEST_SUITE_P(Generations, QosPackingTest,
                         ::testing::Values(LayoutCase{"First", &kFirstGenerationLayout},
                                           LayoutCase{"Second", &kSecondGenerationLayout}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QosPresetTest, RecognisesEachPresetAndNothingElse) {
    for (int k = 0; k < kQosPresetCount; ++k)
        EXPECT_EQ(RecognisePreset(QosPreset(k)), k);

    struct Case {
        const char* what;
        void (*change)(QosSettings&);
    };
    const Case notPresets[] = {
        {"TOS map on", [](QosSettings& q) { q.tosMapEnabled = 1; }},
        {"VLAN map off", [](QosSettings& q) { q.vlanMapEnabled = 0; }},
        {"other base priorities",
         [](QosSettings& q) {
             q.basePriorities = {0, 1, 2, 3};
         }},
        {"entry 0 above 3", [](QosSettings& q) { q.vlanPriorityMap[0] = 4; }},
        {"one TOS entry changed", [](QosSettings& q) { q.tosPriorityMap[7] = 0; }},
    };
    for (const Case& c : notPresets) {
        QosSettings settings = QosPreset(2);
        c.change(settings);
        EXPECT_FALSE(RecognisePreset(settings)) << c.what;
    }
}

}  // namespace
}  // namespace ambrel
