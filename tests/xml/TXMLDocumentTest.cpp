#include "xml/TXMLDocument.h"

#include <gtest/gtest.h>

namespace xml {
namespace {

TEST(TXMLDocument, StartsEmpty)
{
    TXMLDocument doc;
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_FALSE(doc.DocumentElement());
}

} // namespace
} // namespace xml
