#include "controls/VirtualWnd.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { CVirtualWnd w; EXPECT_TRUE(w.IsVisible()); }
