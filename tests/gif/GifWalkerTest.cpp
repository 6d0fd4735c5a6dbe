#include "GifWalker.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ambrel {
namespace {

// A GIF put together block by block. The image data is a stand-in: the
// walker only measures sub-blocks, it never decodes them.
class GifBuilder {
public:
    explicit GifBuilder(uint16_t width = 8, uint16_t height = 6, bool globalTable = true) {
        Append({'G', 'I', 'F', '8', '9', 'a'});
        Le16(width);
        Le16(height);
        Append({static_cast<uint8_t>(globalTable ? 0x80 : 0x00), 1, 0});
        if (globalTable)
            Append({0x00, 0x00, 0x00, 0x11, 0x22, 0x33});  // 2 colours
    }
    GifBuilder& Control(uint16_t delay, uint8_t disposal) {
        Append({0x21, 0xF9, 0x04, static_cast<uint8_t>(disposal << 2)});
        Le16(delay);
        Append({0x00, 0x00});
        return *this;
    }
    GifBuilder& Comment() {
        Append({0x21, 0xFE, 3, 'h', 'i', '!', 0});
        return *this;
    }
    GifBuilder& Looping() {
        Append(
            {0x21, 0xFF, 11, 'L', 'O', 'O', 'P', 'S', 'F', 'O', 'R', 'E', 'V', 'R', 3, 1, 0, 0, 0});
        return *this;
    }
    GifBuilder& Image(uint16_t left, uint16_t top, uint16_t width, uint16_t height) {
        bytes_.push_back(0x2C);
        Le16(left);
        Le16(top);
        Le16(width);
        Le16(height);
        Append({0x00, 0x02, 4, 0x8C, 0x2D, 0x99, 0x87, 2, 0x2A, 0x00, 0x00});
        return *this;
    }
    GifBuilder& Trailer() {
        bytes_.push_back(0x3B);
        return *this;
    }
    std::vector<uint8_t> Bytes() const { return bytes_; }

private:
    void Append(std::initializer_list<uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes); }
    void Le16(uint16_t v) { Append({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
    std::vector<uint8_t> bytes_;
};

TEST(GifWalker, ScreenAndBackgroundColour) {
    auto layout = WalkGif(GifBuilder(40, 30).Image(0, 0, 40, 30).Trailer().Bytes());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->width, 40);
    EXPECT_EQ(layout->height, 30);
    EXPECT_EQ(layout->globalTableSize, 6u);
    EXPECT_EQ(layout->backgroundRgb, 0x112233u);  // background index 1
    EXPECT_EQ(layout->imageCount, 1u);
    EXPECT_TRUE(layout->frames.empty()) << "a single image is decoded whole";

    auto plain = WalkGif(GifBuilder(4, 4, false).Image(0, 0, 4, 4).Trailer().Bytes());
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->backgroundRgb);
}

TEST(GifWalker, SplitsAnAnimationIntoStandaloneFrames) {
    GifBuilder gif;
    gif.Looping()
        .Control(0, 2)
        .Image(0, 0, 8, 6)
        .Comment()
        .Control(50, 3)
        .Comment()
        .Image(2, 1, 4, 3);
    gif.Image(1, 1, 2, 2).Trailer();  // no graphic control: a 100 ms frame
    auto layout = WalkGif(gif.Bytes());
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->frames.size(), 3u);

    struct Expected {
        uint16_t left, top, width, height, delay;
        uint8_t disposal;
    };
    const Expected expected[] = {{0, 0, 8, 6, 0, 2}, {2, 1, 4, 3, 50, 3}, {1, 1, 2, 2, 0, 0}};
    for (size_t i = 0; i < 3; ++i) {
        const GifFrameData& frame = layout->frames[i];
        EXPECT_EQ(frame.left, expected[i].left);
        EXPECT_EQ(frame.top, expected[i].top);
        EXPECT_EQ(frame.width, expected[i].width);
        EXPECT_EQ(frame.height, expected[i].height);
        EXPECT_EQ(frame.delay, expected[i].delay);
        EXPECT_EQ(frame.disposal, expected[i].disposal);
        // Each frame is a GIF of its own: the source's screen, its blocks, a trailer.
        auto again = WalkGif(frame.gif);
        ASSERT_TRUE(again) << i;
        EXPECT_EQ(again->imageCount, 1u);
        EXPECT_EQ(again->width, 8);
        EXPECT_EQ(frame.gif.back(), 0x3B);
    }
    // The second frame carries its graphic control block and the comment
    // between it and the image; the looping block of the file stays out.
    const auto& second = layout->frames[1].gif;
    EXPECT_EQ(second[19], 0x21);
    EXPECT_EQ(second[20], 0xF9);
    EXPECT_EQ(second[27], 0x21);
    EXPECT_EQ(second[28], 0xFE);
}

TEST(GifWalker, RefusesWhatIsNotAWholeGifWithImages) {
    const auto whole = GifBuilder()
                           .Control(10, 0)
                           .Image(0, 0, 8, 6)
                           .Control(10, 0)
                           .Image(0, 0, 8, 6)
                           .Trailer()
                           .Bytes();
    ASSERT_TRUE(WalkGif(whole));
    // Cut anywhere inside a block: never read past the data, never loaded.
    // Cut between blocks after an image, it reads like a GIF without trailer.
    const std::set<size_t> afterAnImage{47, 55, 75};
    for (size_t length = 0; length + 1 < whole.size(); ++length) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_EQ(WalkGif(cut).has_value(), afterAnImage.count(length) > 0) << "cut at " << length;
    }

    struct Case {
        std::vector<uint8_t> data;
        const char* why;
    };
    auto unknownBlock = GifBuilder().Image(0, 0, 8, 6).Bytes();
    unknownBlock.push_back(0x99);
    auto unknownExtension = GifBuilder().Bytes();
    unknownExtension.insert(unknownExtension.end(), {0x21, 0x42, 0});
    const Case cases[] = {
        {{'B', 'M', 0x3A, 0, 0, 0}, "a bitmap is no GIF"},
        {GifBuilder().Trailer().Bytes(), "no image"},
        {GifBuilder().Comment().Trailer().Bytes(), "extensions but no image"},
        {unknownBlock, "an unknown block"},
        {unknownExtension, "an unknown extension"},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(WalkGif(c.data)) << c.why;
    EXPECT_FALSE(LooksLikeGif(cases[0].data));
}

TEST(GifWalker, AnImageWithoutTrailerEndsAtTheData) {
    auto layout = WalkGif(GifBuilder().Image(0, 0, 8, 6).Image(0, 0, 8, 6).Bytes());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->frames.size(), 2u);
}

}  // namespace
}  // namespace ambrel
