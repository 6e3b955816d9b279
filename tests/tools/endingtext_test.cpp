// The generated ending text: every line fits the 320-pixel screen, drawn as the ending draws it.
#include <gtest/gtest.h>

#include <sstream>

#include "graphics/graphics.h"
#include "support/ddsupport.h"
#include "support/gamefixture.h"
#include "support/tempfolder.h"

namespace {

TEST(EndingTextTest, EveryLineFitsTheScreenInTheEndingsFont) {
    DirectDrawFixture dd;
    ASSERT_TRUE(dd.Ready());
    Graphics text;
    text.directDraw = dd.directDraw;
    IDirectDrawSurface* wide = dd.NewSurface(640, 40); // room to see a line run past 320
    std::istringstream lines(ReadBytes(ProgramFolder() + "/../data/Ending.dat"));
    int drawnLines = 0;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find('\r'));
        ASSERT_TRUE(WritePixels(wide, std::vector<uint32_t>(640 * 40, 0)));
        text.DrawText(wide, line.c_str(), 0, 0, 15, 0x009B9B9B, 0); // the ending's call
        int count = 0;
        RECT drawn = Bounds(ReadPixels(wide), 640, 0, &count, true);
        EXPECT_LE(drawn.right, 320) << line;
        drawnLines += count > 0;
    }
    EXPECT_GT(drawnLines, 5);
}

} // namespace
