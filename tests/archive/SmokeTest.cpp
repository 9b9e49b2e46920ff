#include "archive/TArchiveReader.h"

#include <gtest/gtest.h>

TEST(ArchiveSmoke, FreshReaderIsEmpty)
{
    archive::TArchiveReader reader;
    EXPECT_EQ(reader.Count(), 0U);
}
