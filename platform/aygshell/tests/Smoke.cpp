#include "platform/aygshell/AygTest.h"
#include <gtest/gtest.h>
TEST(Smoke, Loads) { EXPECT_EQ(SHFindMenuBar(nullptr), nullptr); }
