#pragma once

#include "archive/TArchiveReader.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Writes generated packages into a fresh folder and opens readers on them.
class ArchiveFixture : public ::testing::Test
{
protected:
    std::filesystem::path Write(const testsupport::PackageBuilder& builder, const std::string& name = "p.zip")
    {
        const std::filesystem::path path = m_dir / name;
        builder.WriteTo(path);
        return path;
    }

    std::filesystem::path WriteBytes(const std::string& bytes, const std::string& name = "p.zip")
    {
        const std::filesystem::path path = m_dir / name;
        testsupport::WriteFileBytes(path, bytes);
        return path;
    }

    static std::vector<std::string> Names(const archive::TArchiveReader& reader)
    {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < reader.Count(); ++i) {
            names.push_back(reader.Member(i).Name);
        }
        return names;
    }

    testsupport::TempDir m_dir;
};
