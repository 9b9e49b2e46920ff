#include "PackageFixtures.h"
#include "ScopedTimeZone.h"
#include "archive/TArchiveReader.h"
#include "engine/parts/CustomPropertiesPart.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/package/SaveDocument.h"
#include "support/OfficePackages.h"
#include "support/TempDir.h"
#include "xml/EXmlError.h"

#include <gtest/gtest.h>

#include <map>

namespace engine {
namespace {

using testsupport::CustomProperty;
using testsupport::CustomXml;
using testsupport::OfficePackage;
namespace fs = std::filesystem;

std::string Lpwstr(const std::string& text)
{
    return "<vt:lpwstr>" + text + "</vt:lpwstr>";
}

std::vector<std::string> Row(const engine::CustomProperty& item)
{
    return {item.Name, item.Type, item.Value};
}

TEST(CustomPropertiesRead, EveryTypeWithItsShownValue)
{
    const ScopedTimeZone zone("Europe/Berlin");
    DocumentRecord record;
    ReadCustomPropertiesXml(
        record, CustomXml(CustomProperty(2, "Client", Lpwstr("A &amp; B &lt;x&gt; \xC3\xA9")) +
                          CustomProperty(3, "Old", "<vt:lpstr>narrow</vt:lpstr>") +
                          CustomProperty(4, "Count", "<vt:i4>-42</vt:i4>") +
                          CustomProperty(5, "Big", "<vt:i8>9000000000</vt:i8>") +
                          CustomProperty(6, "Ratio", "<vt:r8>1.5E3</vt:r8>") +
                          CustomProperty(7, "Done", "<vt:bool>1</vt:bool>") +
                          CustomProperty(8, "Due", "<vt:filetime>2013-05-06T07:08:09Z</vt:filetime>") +
                          CustomProperty(9, "Cur", "<vt:cy>12.5</vt:cy>") +
                          CustomProperty(12, "Back", "<vt:filetime>2024-10-27T01:30:00Z</vt:filetime>") +
                          CustomProperty(10, "List",
                                         "<vt:vector size=\"1\" baseType=\"lpwstr\">" + Lpwstr("a") +
                                             "</vt:vector>") +
                          "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"11\">" +
                          Lpwstr("x") + "</property>"));
    std::vector<std::vector<std::string>> rows;
    for (const auto& item : record.Custom.Items) {
        rows.push_back(Row(item));
    }
    const std::vector<std::vector<std::string>> expected = {
        {"Client", "vt:lpwstr", "A & B <x> \xC3\xA9"},
        {"Old", "vt:lpstr", "narrow"},
        {"Count", "vt:i4", "-42"},
        {"Big", "vt:i8", "9000000000"},
        {"Ratio", "vt:r8", "1.5E3"},
        {"Done", "vt:bool", "true"},
        {"Due", "vt:filetime", "2013-05-06 09:08:09"},
        {"Cur", "vt:cy", "12.5"},                        // shown with its type, not editable
        {"Back", "vt:filetime", "2024-10-27T01:30:00Z"}, // local 02:30 is shown twice that night
        {"List", "vt:vector", ""},
    };
    EXPECT_EQ(rows, expected); // the property without a name is not shown
}

TEST(CustomPropertiesRead, StrictNamespacesAndOtherRootsAndPrefixes)
{
    DocumentRecord record;
    ReadCustomPropertiesXml(
        record, "<c:Properties xmlns:c=\"http://purl.oclc.org/ooxml/officeDocument/customProperties\" "
                "xmlns:t=\"http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes\">"
                "<c:property pid=\"2\" name=\"S\"><t:i4>7</t:i4></c:property></c:Properties>");
    ASSERT_EQ(record.Custom.Items.size(), 1u);
    EXPECT_EQ(Row(record.Custom.Items[0]), (std::vector<std::string>{"S", "vt:i4", "7"}));
    EXPECT_THROW(ReadCustomPropertiesXml(record, "<Properties xmlns=\"urn:other\"/>"), xml::EXmlError);
    EXPECT_THROW(ReadCustomPropertiesXml(record, "<!DOCTYPE P [<!ENTITY e \"x\">]><P>&e;</P>"),
                 xml::EXmlError);
}

struct ValueCase
{
    const char* type;
    const char* given;
    const char* held; // nullptr: refused
};

class CustomValueTest : public testing::TestWithParam<ValueCase>
{
};

TEST_P(CustomValueTest, IsValidatedByType)
{
    const ValueCase& c = GetParam();
    if (c.held == nullptr) {
        EXPECT_THROW((void)HeldCustomValue("N", c.type, c.given), ECustomPropertyError) << c.given;
    } else {
        EXPECT_EQ(HeldCustomValue("N", c.type, c.given), c.held);
    }
}

INSTANTIATE_TEST_SUITE_P(Types,
                         CustomValueTest,
                         testing::Values(ValueCase{"vt:lpwstr", "a<b & \"c\"", "a<b & \"c\""},
                                         ValueCase{"vt:lpwstr", "", ""},
                                         ValueCase{"vt:lpwstr", "bell\x07", nullptr},
                                         ValueCase{"vt:lpwstr", "\xFF", nullptr},
                                         ValueCase{"vt:i4", "+007", "7"},
                                         ValueCase{"vt:i4", "-2147483648", "-2147483648"},
                                         ValueCase{"vt:i4", "2147483648", nullptr},
                                         ValueCase{"vt:i4", "1.5", nullptr},
                                         ValueCase{"vt:i4", "", nullptr},
                                         ValueCase{"vt:i4", "+-1", nullptr},
                                         ValueCase{"vt:i8", "9000000000", "9000000000"},
                                         ValueCase{"vt:i8", "99999999999999999999", nullptr},
                                         ValueCase{"vt:r8", "-1.25e-3", "-1.25e-3"},
                                         ValueCase{"vt:r8", ".5", ".5"},
                                         ValueCase{"vt:r8", "1e999", nullptr},
                                         ValueCase{"vt:r8", "nan", nullptr},
                                         ValueCase{"vt:r8", "1,5", nullptr},
                                         ValueCase{"vt:bool", "TRUE", "true"},
                                         ValueCase{"vt:bool", "0", "false"},
                                         ValueCase{"vt:bool", "yes", nullptr},
                                         ValueCase{"vt:filetime", "2024-02-29 23:59:59",
                                                   "2024-02-29 23:59:59"},
                                         ValueCase{"vt:filetime", "2023-02-29 00:00:00", nullptr},
                                         ValueCase{"vt:filetime", "2024-02-29", "2024-02-29 00:00:00"},
                                         ValueCase{"vt:filetime", "2024-02-29T23:59:59", nullptr},
                                         ValueCase{"vt:cy", "1", nullptr}));

TEST(CustomValue, TypeFollowsTheKindAndKeepsAnExistingTypeOfThatKind)
{
    EXPECT_EQ(TypeForValue(CustomKind::Int, "", "5"), "vt:i4");
    EXPECT_EQ(TypeForValue(CustomKind::Int, "", "5000000000"), "vt:i8");
    EXPECT_EQ(TypeForValue(CustomKind::Int, "vt:i8", "5"), "vt:i8");
    EXPECT_EQ(TypeForValue(CustomKind::Text, "vt:lpstr", "x"), "vt:lpstr");
    EXPECT_EQ(TypeForValue(CustomKind::Text, "vt:i4", "x"), "vt:lpwstr");
    EXPECT_EQ(TypeForValue(CustomKind::Date, "", "x"), "vt:filetime");
}

// Found by fuzzing: the name was read from the property that the change itself removed.
TEST(CustomValue, ChangesNamedAfterTheRecordsOwnPropertiesKeepTheName)
{
    DocumentRecord record;
    ReadCustomPropertiesXml(record, CustomXml(CustomProperty(2, "First name", Lpwstr("a")) +
                                              CustomProperty(3, "Second name", Lpwstr("b"))));
    ClearCustomProperty(record, record.Custom.Items.back().Name);
    EXPECT_EQ(record.Custom.Removed, (std::vector<std::string>{"Second name"}));
    SetCustomProperty(record, record.Custom.Items.front().Name, CustomKind::Int, "7");
    ASSERT_EQ(record.Custom.Items.size(), 1u);
    EXPECT_EQ(Row(record.Custom.Items[0]), (std::vector<std::string>{"First name", "vt:i4", "7"}));
}

// Only a real change is staged: the value the property holds (as the type holds it) or a name
// the record does not have leave the record unmodified.
TEST(CustomValue, StagingWhatTheRecordHoldsChangesNothing)
{
    DocumentRecord record;
    ReadCustomPropertiesXml(record, CustomXml(CustomProperty(2, "Reviewed", "<vt:bool>true</vt:bool>") +
                                              CustomProperty(3, "Client", Lpwstr("Acme"))));
    EXPECT_FALSE(SetCustomProperty(record, "reviewed", CustomKind::Bool, "TRUE"));
    EXPECT_FALSE(SetCustomProperty(record, "Client", CustomKind::Text, "Acme"));
    EXPECT_FALSE(ClearCustomProperty(record, "Absent"));
    EXPECT_FALSE(record.Modified);
    EXPECT_FALSE(HasCustomChanges(record));

    EXPECT_TRUE(SetCustomProperty(record, "Client", CustomKind::Text, "acme"));
    EXPECT_TRUE(ClearCustomProperty(record, "Reviewed"));
    EXPECT_TRUE(record.Modified);
}

TEST(CustomValue, NamesMustBeStorableAndAtMost255Characters)
{
    EXPECT_NO_THROW(CheckCustomName(std::string(255, 'n')));
    EXPECT_NO_THROW(CheckCustomName("\xC3\xA9t\xC3\xA9 : = \"<&>"));
    EXPECT_THROW(CheckCustomName(std::string(256, 'n')), ECustomPropertyError);
    EXPECT_THROW(CheckCustomName(""), ECustomPropertyError);
    EXPECT_THROW(CheckCustomName("a\x01"), ECustomPropertyError);
}

class CustomPropertiesSaveTest : public testing::Test
{
protected:
    DocumentRecord Loaded(const testsupport::PackageBuilder& package, const std::string& name = "doc.docx")
    {
        m_path = m_dir / name;
        package.WriteTo(m_path);
        DocumentRecord record;
        record.FullPath = m_path.string();
        record.FileName = name;
        EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
        return record;
    }

    DocumentRecord Reloaded() const
    {
        DocumentRecord record;
        record.FullPath = m_path.string();
        EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
        EXPECT_EQ(record.Custom.Error, "");
        return record;
    }

    std::map<std::string, std::string> Members() const
    {
        archive::TArchiveReader reader;
        reader.ZipName = m_path;
        reader.OpenDirectory();
        std::map<std::string, std::string> members;
        for (std::size_t i = 0; i < reader.Count(); ++i) {
            members[reader.Member(i).Name] = reader.ExtractToMemory(reader.Member(i), 1 << 24);
        }
        return members;
    }

    testsupport::TempDir m_dir;
    fs::path m_path;
};

TEST_F(CustomPropertiesSaveTest, CreatingThePartRegistersItAndNumbersFromTwo)
{
    for (const char* kind : {"docx", "xlsx"}) {
        DocumentRecord record = Loaded(
            OfficePackage(kind, testsupport::CoreXml("<dc:title>T</dc:title>"), testsupport::AppXml(""), ""),
            std::string("doc.") + kind);
        const auto before = Members();
        SetCustomProperty(record, "Client", CustomKind::Text, "Acme & <Co> \xE6\x97\xA5\xE6\x9C\xAC");
        SetCustomProperty(record, "Count", CustomKind::Int, "3");
        ASSERT_TRUE(HasCustomChanges(record));
        ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
        EXPECT_FALSE(HasCustomChanges(record));
        EXPECT_FALSE(record.Modified);
        EXPECT_EQ(record.LastWarning, "");

        const auto after = Members();
        const std::string custom = after.at("docProps/custom.xml");
        EXPECT_NE(custom.find("<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" "
                              "name=\"Client\"><vt:lpwstr>Acme &amp; &lt;Co&gt;"),
                  std::string::npos)
            << custom;
        EXPECT_NE(custom.find("pid=\"3\" name=\"Count\"><vt:i4>3</vt:i4>"), std::string::npos) << custom;
        EXPECT_NE(
            after.at("[Content_Types].xml")
                .find(
                    "<Override PartName=\"/docProps/custom.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.custom-properties+xml\"/>"),
            std::string::npos);
        EXPECT_NE(after.at("_rels/.rels")
                      .find("Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                            "custom-properties\" Target=\"docProps/custom.xml\""),
                  std::string::npos);
        for (const auto& [name, content] : before) {
            if (name != "[Content_Types].xml" && name != "_rels/.rels") {
                EXPECT_EQ(after.at(name), content) << kind << " " << name;
            }
        }
        const DocumentRecord again = Reloaded();
        ASSERT_EQ(again.Custom.Items.size(), 2u);
        EXPECT_EQ(again.Custom.Items[0].Value, "Acme & <Co> \xE6\x97\xA5\xE6\x9C\xAC");
        EXPECT_EQ(again.CoreValues[0], "T");
    }
}

TEST_F(CustomPropertiesSaveTest, ExistingPropertiesKeepPidFmtidAndPlaceNewOnesTakeTheFirstUnusedPid)
{
    const std::string vector =
        "<property fmtid=\"{OTHER}\" pid=\"3\" name=\"List\"><vt:vector size=\"2\" baseType=\"lpwstr\">"
        "<vt:lpwstr>a</vt:lpwstr><vt:lpwstr>b</vt:lpwstr></vt:vector></property>";
    DocumentRecord record = Loaded(OfficePackage(
        "docx", testsupport::CoreXml(""), testsupport::AppXml(""),
        CustomXml("<property fmtid=\"{OTHER}\" pid=\"2\" name=\"Kept\">" + Lpwstr("k") + "</property>" +
                  vector + CustomProperty(3, "Dup", Lpwstr("d")) +
                  CustomProperty(5, "Due", "<vt:filetime>2001-01-01T00:00:00Z</vt:filetime>") +
                  CustomProperty(6, "gone", Lpwstr("1")) + CustomProperty(7, "GONE", Lpwstr("2")))));
    ASSERT_EQ(record.Custom.Items.size(), 6u);
    SetCustomProperty(record, "kept", CustomKind::Int, "12"); // names compare without letter case
    ClearCustomProperty(record, "Gone");
    SetCustomProperty(record, "New1", CustomKind::Bool, "TRUE");
    SetCustomProperty(record, "New2", CustomKind::Date, "2024-07-01 12:00:00");
    EXPECT_THROW(SetCustomProperty(record, "List", CustomKind::Text, "x"), ECustomPropertyError);
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;

    const std::string custom = fixtures::MemberText(m_path, "docProps/custom.xml");
    EXPECT_NE(custom.find("<property fmtid=\"{OTHER}\" pid=\"2\" name=\"Kept\"><vt:i4>12</vt:i4></property>" +
                          vector),
              std::string::npos)
        << custom; // the vector is kept byte for byte, right after
    EXPECT_NE(custom.find("pid=\"4\" name=\"New1\"><vt:bool>true</vt:bool>"), std::string::npos) << custom;
    EXPECT_NE(custom.find("pid=\"6\" name=\"New2\"><vt:filetime>2024-07-01T12:00:00Z</vt:filetime>"),
              std::string::npos)
        << custom; // 6 and 7 were freed by the removal; 5 is in use
    EXPECT_EQ(custom.find("name=\"gone\""), std::string::npos);
    EXPECT_EQ(custom.find("name=\"GONE\""), std::string::npos);

    const DocumentRecord again = Reloaded();
    std::vector<std::string> names;
    for (const auto& item : again.Custom.Items) {
        names.push_back(item.Name + "=" + item.Value);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Kept=12", "List=", "Dup=d", "Due=2001-01-01 00:00:00",
                                               "New1=true", "New2=2024-07-01 12:00:00"}));
}

TEST_F(CustomPropertiesSaveTest, ClearingTheLastPropertyKeepsAnEmptyPartAndClearingNothingWritesNothing)
{
    DocumentRecord record = Loaded(OfficePackage("xlsx", testsupport::CoreXml(""), "", ""), "book.xlsx");
    const std::string bytes = testsupport::ReadFileBytes(m_path);
    ClearCustomProperty(record, "Absent");
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_EQ(testsupport::ReadFileBytes(m_path), bytes); // no part made for a removal

    record = Loaded(OfficePackage("docx", "", "", CustomXml(CustomProperty(2, "Only", Lpwstr("x")))));
    ClearCustomProperty(record, "only");
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_TRUE(Reloaded().Custom.Items.empty());
}

TEST_F(CustomPropertiesSaveTest, AnUnreadableCustomPartIsReportedApartAndRefusesOnlyCustomEdits)
{
    DocumentRecord record =
        Loaded(OfficePackage("docx", testsupport::CoreXml("<dc:title>T</dc:title>"), "", "<Properties"));
    EXPECT_EQ(record.LastError, "");
    EXPECT_NE(record.Custom.Error.find("docProps/custom.xml: "), std::string::npos);
    EXPECT_EQ(record.CoreValues[0], "T");
    record.Value(0) = "Title only";
    record.SetChanged(0, true);
    record.Modified = true;
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;

    const std::string bytes = testsupport::ReadFileBytes(m_path);
    SetCustomProperty(record, "A", CustomKind::Text, "b");
    EXPECT_FALSE(SaveDocument(record).ok);
    EXPECT_TRUE(record.Modified);
    EXPECT_EQ(testsupport::ReadFileBytes(m_path), bytes);
}

TEST_F(CustomPropertiesSaveTest, SavingASignedPackageWarnsOnlyWhenItIsRewritten)
{
    DocumentRecord record = Loaded(
        OfficePackage("docx", testsupport::CoreXml("<dc:title>T</dc:title>"), "", "", true), "signed.docm");
    const auto before = Members();
    record.Value(0) = "T";
    record.SetChanged(0, true);
    record.Modified = true;
    ASSERT_TRUE(SaveDocument(record).ok);
    EXPECT_EQ(record.LastWarning, ""); // nothing to write: the signature still holds

    SetCustomProperty(record, "Reviewed", CustomKind::Bool, "true");
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_EQ(record.LastWarning, kSignatureWarning);
    const auto after = Members();
    EXPECT_EQ(after.at("_xmlsignatures/sig1.xml"), before.at("_xmlsignatures/sig1.xml"));
    EXPECT_EQ(after.at("word/vbaProject.bin"), before.at("word/vbaProject.bin"));

    // A signature part alone, without the origin relationship, is also a signature.
    testsupport::PackageBuilder bare = OfficePackage("pptx", testsupport::CoreXml(""), "", "");
    bare.Add("_xmlsignatures/sig2.xml", "<Signature/>");
    record = Loaded(bare, "deck.pptx");
    record.Value(0) = "New";
    record.SetChanged(0, true);
    record.Modified = true;
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_EQ(record.LastWarning, kSignatureWarning);
}

} // namespace
} // namespace engine
