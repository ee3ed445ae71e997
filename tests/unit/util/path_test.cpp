#include "util/path.h"

#include <gtest/gtest.h>

TEST(Path, Placeholder) { EXPECT_EQ(NormalizePath("a/b/../c.mus"), "a/c.mus"); }
