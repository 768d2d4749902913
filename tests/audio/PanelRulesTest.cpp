#include "audio/PanelRules.h"
#include "audio/FormatTime.h"

#include <gtest/gtest.h>

using namespace pellam;

TEST(FormatTime, RoundsToWholeSecondsHalvesToEven)
{
    const struct {
        double ms;
        const char* text;
    } cases[] = {
        {0, "0:00"},
        {59499, "0:59"},
        {59500, "1:00"},
        {60500, "1:00"},
        {61500, "1:02"},
        {3600000, "60:00"},
        {499.9f, "0:00"},
        {5999499, "99:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTime(c.ms), c.text) << c.ms;
    EXPECT_EQ(TimeLabelText(61500, 3600000), "1:02/60:00");
}

TEST(PanelRules, ReleaseSeeksToNearestSecondInsideTheRecording)
{
    const std::pair<double, std::optional<std::int32_t>> cases[] = {
        {62500, 62000}, {63500, 64000}, {61499, 61000}, {0.4, 0}, // whole seconds, halves to even
        {0, std::nullopt}, {120000, std::nullopt}, {-5, std::nullopt}, {130000, std::nullopt}, // the ends and outside
    };
    for (const auto& [ms, want] : cases)
        EXPECT_EQ(SeekTarget(ms, 120000), want) << ms;
    EXPECT_EQ(PositionAt(2.5), 2);
    EXPECT_EQ(PositionAt(3.5), 4);
}

TEST(PanelRules, VolumeByMouseAndItsLoweringAtTheNextDrawing)
{
    const auto v = VolumeAt(65534.6);
    ASSERT_TRUE(v);
    EXPECT_EQ(*v, 65535);
    EXPECT_EQ(LoweredVolume(*v), 65534);
    EXPECT_EQ(LoweredVolume(70000), 65534);
    EXPECT_EQ(LoweredVolume(65534), 65534);
    EXPECT_EQ(LoweredVolume(12000), 12000);
    EXPECT_EQ(VolumeAt(-0.5), 0);
    EXPECT_EQ(VolumeAt(-1), std::nullopt);
    EXPECT_EQ(VolumeAt(65535), std::nullopt);

    const VolumeWedge w = WedgeFor(32768); // 327.68 rounds to 328
    EXPECT_EQ(w.slope, (WedgeLine {1, 700, 32768, 372}));
    EXPECT_EQ(w.edge, (WedgeLine {32768, 372, 32768, 700}));
    EXPECT_EQ(w.base, (WedgeLine {1, 700, 32768, 700}));
    EXPECT_EQ(WedgeFor(250).slope.y2, 698); // 2.5 rounds to 2
}
