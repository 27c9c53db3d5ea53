#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/MarksSurface.h"

namespace {

std::string AsPrintfWrites(int sheet, float x1, float y1, float x2, float y2)
{
    char line[256];
    std::snprintf(line, sizeof line, "%d %.3f %.3f %.3f %.3f\n", sheet, double(x1), double(y1), double(x2), double(y2));
    return line;
}

// The lines are the bytes printf's "%.3f" gave, for the values that test rounding: halves of a
// thousandth as a float holds them, negative zeros, tiny and huge values, and a spread of
// ordinary ones; across more lines than one piece of output.
TEST(MarksSurface, WritesTheSameBytesAsPrintfDid)
{
    std::vector<float> values = {0.0f, -0.0f, 0.0005f, 0.0015f, 0.0025f, -0.0005f, -0.0004f, 1.2345f, 1.2355f,
                                 299.9995f, 1e-7f, -1e-7f, 12345678.0f, 3.4e38f, -3.4e38f, 0.1f, 0.2f, 0.3f, 1000.0005f,
                                 // exact ties of a thousandth: printf rounds them to the even one
                                 0.0625f, -0.0625f, 1.0625f, 0.1875f, 2.5625f, -7.4375f, 0.3125f, 9.0e9f, -1.5e13f,
                                 1.0e-40f, -1.0e-40f};
    std::mt19937 random(649);
    std::uniform_real_distribution<float> mm(-50.0f, 450.0f);
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::round(mm(random) * 2000.0f) / 2000.0f);  // many exact halves
    std::ostringstream out;
    std::string expected;
    {
        bm::cli::MarksSurface surface(out);
        for (std::size_t i = 0; i + 3 < values.size(); i += 2) {
            surface.FillBox(values[i], values[i + 1], values[i + 2], values[i + 3]);
            expected +=
                AsPrintfWrites(static_cast<int>(i / 2000) + 1, values[i], values[i + 1], values[i + 2], values[i + 3]);
            if (i % 2000 == 1998)
                surface.NextPage();
        }
        ASSERT_TRUE(surface.EndDocument().ok());
    }
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
