#include "workspace/MainLayout.h"

#include <gtest/gtest.h>

#include <array>

using namespace pellam;

// Up to the client height of the designed window the parts sit as they always
// did; above it the playback panel takes 35 % of the extra height from the
// list, up to four times its own height.
TEST(MainLayout, PanelGrowsOnlyAboveTheDesignedHeight)
{
    using Heights = std::array<int, 4>; // list height, panel top and height, progress bar top
    const auto layout = [](int clientHeight) {
        const ClientLayout c = LayoutInClient(clientHeight, 15600, true, 10020);
        EXPECT_EQ(std::tuple(c.list.width, c.frame.width, c.progress.height), std::tuple(15360, 15345, 200));
        return Heights {c.list.height, c.frame.y, c.frame.height, c.progress.y};
    };
    EXPECT_EQ(layout(8020), (Heights {5920, 6220, 1440, 7700}));
    EXPECT_EQ(layout(10020), (Heights {7920, 8220, 1440, 9700}));
    EXPECT_EQ(layout(12020), (Heights {9220, 9520, 2140, 11700}));
    EXPECT_EQ(layout(30020), (Heights {23600, 23900, 5760, 29700}));
}
