#include "archive/TZipHeaderInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace archive {
namespace {

using Records = std::vector<std::unique_ptr<TZipHeaderInfo>>;

Records Made(int count, const std::string& prefix)
{
    Records records;
    for (int i = 0; i < count; ++i) {
        auto record = std::make_unique<TZipHeaderInfo>();
        EXPECT_EQ(record->VersionMadeBy, 45); // a fresh record, whatever block it was given
        EXPECT_TRUE(record->Name.empty());
        EXPECT_FALSE(record->Zip64.has_value());
        record->SetName(prefix + std::to_string(i) + "\\part.xml");
        records.push_back(std::move(record));
    }
    return records;
}

void ExpectNames(const Records& records, const std::string& prefix)
{
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->Name, prefix + std::to_string(i) + "/part.xml");
        EXPECT_EQ(records[i]->StoredName(), prefix + std::to_string(i) + "\\part.xml");
    }
}

// Record blocks are kept per thread for the next records: whether records are freed on the thread
// that made them, on another one, or after that thread has ended, every live record keeps a block
// of its own.
TEST(TZipHeaderInfo, RecordsKeepTheirOwnBlocksAcrossThreads)
{
    Records first = Made(700, "a");
    first.resize(100); // more freed than a thread keeps
    Records second = Made(700, "b");
    ExpectNames(first, "a");
    ExpectNames(second, "b");

    Records fromWorker;
    std::thread worker([&] {
        Records moved = std::move(second); // freed here, made on the main thread
        moved.clear();
        fromWorker = Made(300, "c");
        Records own = Made(50, "d");
        ExpectNames(own, "d");
    });
    worker.join();
    ExpectNames(fromWorker, "c");
    fromWorker.clear(); // made on a thread that has ended
    Records third = Made(200, "e");
    ExpectNames(first, "a");
    ExpectNames(third, "e");
}

// A stored name keeps its '\' while the name used for matching has '/'; a name without one is
// stored as it reads.
TEST(TZipHeaderInfo, StoredNameIsKeptOnlyWhereItDiffers)
{
    TZipHeaderInfo member;
    member.SetName("ppt\\slides/slide1.xml");
    EXPECT_EQ(member.Name, "ppt/slides/slide1.xml");
    EXPECT_EQ(member.StoredName(), "ppt\\slides/slide1.xml");
    member.SetName("docProps/core.xml");
    EXPECT_EQ(member.StoredName(), "docProps/core.xml");
    EXPECT_TRUE(member.StoredNameIfDifferent.empty());
}

} // namespace
} // namespace archive
