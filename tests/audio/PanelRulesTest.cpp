#include "audio/PanelRules.h"
#include "audio/FormatTime.h"

#include <gtest/gtest.h>

using namespace pellam;

// Whole seconds, halves to even, for the time text and for seeking by mouse.
TEST(PanelRules, TimesSeeksAndVolumesRoundHalvesToEven)
{
    const std::pair<double, const char*> times[] = {{0, "0:00"}, {59499, "0:59"}, {59500, "1:00"}, {60500, "1:00"},
        {61500, "1:02"}, {3600000, "60:00"}, {499.9f, "0:00"}, {5999499, "99:59"}};
    for (const auto& [ms, text] : times)
        EXPECT_EQ(FormatTime(ms), text) << ms;
    EXPECT_EQ(TimeLabelText(61500, 3600000), "1:02/60:00");

    // A release seeks inside the recording only, never to its very ends.
    const std::pair<double, std::optional<std::int32_t>> seeks[] = {{62500, 62000}, {63500, 64000}, {61499, 61000},
        {0.4, 0}, {0, std::nullopt}, {120000, std::nullopt}, {-5, std::nullopt}, {130000, std::nullopt}};
    for (const auto& [ms, want] : seeks)
        EXPECT_EQ(SeekTarget(ms, 120000), want) << ms;
    EXPECT_EQ(std::tuple(PositionAt(2.5), PositionAt(3.5)), std::tuple(2, 4));

    // The volume by mouse, and its lowering at the next drawing.
    EXPECT_EQ(std::tuple(VolumeAt(65534.6), VolumeAt(-0.5), VolumeAt(-1), VolumeAt(65535)),
        std::tuple(65535, 0, std::nullopt, std::nullopt));
    EXPECT_EQ(std::tuple(LoweredVolume(65535), LoweredVolume(70000), LoweredVolume(65534), LoweredVolume(12000)),
        std::tuple(65534, 65534, 65534, 12000));
    // The wedge's top: 327.68 rounds to 328, 2.5 to 2.
    EXPECT_EQ(
        std::tuple(WedgeFor(32768).slope, WedgeFor(250).slope.y2), std::tuple(WedgeLine {1, 700, 32768, 372}, 698));
}
