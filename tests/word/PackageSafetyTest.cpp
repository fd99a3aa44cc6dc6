// Saving never loses the file, keeps links and permissions; damaged,
// encrypted or hostile files are refused with a ServerError, never a crash.
#include "word/docx/DocxFormat.h"
#include "word/odt/OdtFormat.h"
#include "word/package/PackageFormats.h"

#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

namespace tarnwick::word {
namespace {

using test::Visible;

constexpr const char* kBody = "<w:p><w:r><w:t>Hello World</w:t></w:r></w:p>";

class FailingRename : public FileOps {
public:
    std::error_code renameAt(int, const char*, int, const char*) override { return ErrnoCode(EIO); }
};

void replaceWorld(DocumentFormat& doc) { doc.replace(6, 11, u"Welt"); }

class PackageSafety : public ::testing::Test {
protected:
    tarnwick::test::TempTree m_tree;
};

TEST_F(PackageSafety, SavingThroughASymbolicLinkChangesTheTargetAndKeepsTheModeAndLink)
{
    m_tree.mkdir("real");
    const std::string target = test::WriteDocx(m_tree, "real/t.docx", kBody);
    ::chmod(target.c_str(), 0640);
    const std::string link = m_tree.path("link.docx");
    ASSERT_EQ(::symlink("real/t.docx", link.c_str()), 0);
    {
        auto doc = OpenDocxFormat(link);
        replaceWorld(*doc);
        doc->save();
    }
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Visible(DocxFormat(target).mainStory()), "Hello Welt\r");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_tree.path("real")), std::filesystem::directory_iterator()),
              1);  // no temp file left
}

// The document was swapped, between reading and saving, for a link to an
// identical copy elsewhere: the copy is never written, and the save is
// refused as for a file changed by another program.
TEST_F(PackageSafety, ADocumentSwappedForALinkIsNotWrittenThrough)
{
    const std::string path = test::WriteDocx(m_tree, "a.docx", kBody);
    m_tree.mkdir("elsewhere");
    const std::string copy = m_tree.path("elsewhere/copy.docx");
    std::filesystem::copy_file(path, copy);
    auto doc = OpenDocxFormat(path);
    replaceWorld(*doc);
    std::filesystem::rename(path, m_tree.path("moved.docx"));
    ASSERT_EQ(::symlink(copy.c_str(), path.c_str()), 0);
    try {
        doc->save();
        ADD_FAILURE() << "saved through a link that appeared after the document was read";
    } catch (const ServerError& error) {
        EXPECT_EQ(error.number(), kErrorChangedOnDisk);
    }
    EXPECT_EQ(tarnwick::test::ReadFile(copy), tarnwick::test::ReadFile(m_tree.path("moved.docx")));
}

TEST_F(PackageSafety, AHardLinkedFileIsChangedForEveryName)
{
    const std::string path = test::WriteDocx(m_tree, "a.docx", kBody);
    ASSERT_EQ(::link(path.c_str(), m_tree.path("b.docx").c_str()), 0);
    auto doc = OpenDocxFormat(path);
    replaceWorld(*doc);
    doc->save();
    EXPECT_EQ(Visible(DocxFormat(m_tree.path("b.docx")).mainStory()), "Hello Welt\r");
}

TEST_F(PackageSafety, AFailingSaveLeavesTheFileAsItWas)
{
    const std::string path = test::WriteOdt(m_tree, "t.odt", "<text:p>Hello World</text:p>");
    const std::string original = tarnwick::test::ReadFile(path);
    auto doc = OpenOdtFormat(path);
    replaceWorld(*doc);
    FailingRename failing;
    FileOps::install(&failing);
    const int number = test::ErrorNumberOf([&] { doc->save(); });
    FileOps::install(nullptr);
    EXPECT_EQ(number, kErrorSaveFailed);
    EXPECT_EQ(tarnwick::test::ReadFile(path), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_tree.root()), std::filesystem::directory_iterator()), 1);
    doc->save();  // works once the file system does
    EXPECT_EQ(Visible(OdtFormat(path).mainStory()), "Hello Welt\r");
}

TEST_F(PackageSafety, ChangesByAnotherProgramAreNotOverwritten)
{
    const std::string path = test::WriteDocx(m_tree, "t.docx", kBody);
    auto doc = OpenDocxFormat(path);
    replaceWorld(*doc);
    test::WriteDocx(m_tree, "t.docx", "<w:p><w:r><w:t>theirs</w:t></w:r></w:p>");
    EXPECT_EQ(test::ErrorNumberOf([&] { doc->save(); }), kErrorChangedOnDisk);
    EXPECT_EQ(Visible(DocxFormat(path).mainStory()), "theirs\r");

    ::chmod(path.c_str(), 0444);  // the owner's write bit protects a file, also from root
    auto readOnly = OpenDocxFormat(path);
    readOnly->replace(0, 1, u"T");
    EXPECT_EQ(test::ErrorNumberOf([&] { readOnly->save(); }), kErrorNotWritable);
}

TEST_F(PackageSafety, DamagedEncryptedAndHostileFilesAreRefused)
{
    const std::string valid = tarnwick::test::ReadFile(test::WriteDocx(m_tree, "v.docx", kBody));
    auto refusedAs = [&](const std::string& bytes) {
        const std::string path = m_tree.write("x.docx", bytes);
        return test::ErrorNumberOf([&] { OpenDocxFormat(path); });
    };
    EXPECT_EQ(refusedAs(""), kErrorDamaged);
    EXPECT_EQ(refusedAs("not a zip at all"), kErrorDamaged);
    EXPECT_EQ(refusedAs(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0')), kErrorEncrypted);
    EXPECT_EQ(test::ErrorNumberOf([&] { OpenDocxFormat(m_tree.path("missing.docx")); }), kErrorCannotOpen);

    // Every truncation and many single-byte corruptions: refused or read, never a crash.
    for (std::size_t length = 0; length < valid.size(); length += 7) EXPECT_NE(refusedAs(valid.substr(0, length)), 0);
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        std::string bytes = valid;
        bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        refusedAs(bytes);
    }

    auto withMainPart = [&](const std::string& xml) {
        test::WriteZip(m_tree.path("x.docx"), test::DocxEntries(xml));
        return test::ErrorNumberOf([&] { OpenDocxFormat(m_tree.path("x.docx")); });
    };
    EXPECT_EQ(withMainPart("<w:document"), kErrorDamaged);
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<w:sdt><w:sdtContent>";
    EXPECT_EQ(withMainPart(test::DocumentXml(deep)), kErrorDamaged);
    EXPECT_EQ(withMainPart("<x/>"), kErrorDamaged);
    auto entries = test::DocxEntries(test::DocumentXml(""));
    entries[2].encrypted = true;
    test::WriteZip(m_tree.path("x.docx"), entries);
    EXPECT_EQ(test::ErrorNumberOf([&] { OpenDocxFormat(m_tree.path("x.docx")); }), kErrorEncrypted);

    test::WriteZip(m_tree.path("x.odt"), test::OdtEntries(test::ContentXml("<text:p><text:s text:c=\"2000000000\"/></text:p>")));
    EXPECT_EQ(test::ErrorNumberOf([&] { OpenOdtFormat(m_tree.path("x.odt")); }), kErrorDamaged);
}

// The uncompressed size of entry `name`, as its local header and the central
// directory state it, set to `size`: the archive then lies about it.
void setStatedSize(std::string& zip, const std::string& name, std::uint32_t size)
{
    const auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>(size >> (8 * i));
    };
    for (const auto& [signature, sizeAt, nameAt] :
         {std::tuple{std::string("PK\x03\x04", 4), 22, 30}, std::tuple{std::string("PK\x01\x02", 4), 24, 46}}) {
        for (std::size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 1))
            if (zip.compare(at + nameAt, name.size(), name) == 0) put(at + sizeAt);
    }
}

// A small file whose main part inflates to far more than it holds (here
// 20 MB from some 20 KB) is refused before it is inflated, and also when it
// states a harmless size but gives more bytes than it may.
TEST_F(PackageSafety, APartThatInflatesFarBeyondItsPackedSizeIsRefused)
{
    std::string body;
    body.reserve(21 << 20);
    while (body.size() < (20u << 20)) body += "<w:p/>";
    const std::string path = m_tree.path("bomb.docx");
    test::WriteZip(path, test::DocxEntries(test::DocumentXml(body)));
    std::string zip = tarnwick::test::ReadFile(path);
    ASSERT_LT(zip.size(), 200u * 1024);
    EXPECT_EQ(test::ErrorNumberOf([&] { OpenDocxFormat(path); }), kErrorExpandsTooFar);

    const std::string part = "word/document.xml";
    std::uint32_t packed = 0;
    for (const auto& [name, data] : test::RawEntries(path))
        if (name == part) packed = static_cast<std::uint32_t>(data.size());
    ASSERT_GT(packed, 0u);
    setStatedSize(zip, part, packed * 5);
    m_tree.write("bomb.docx", zip);
    EXPECT_EQ(test::ErrorNumberOf([&] { OpenDocxFormat(path); }), kErrorExpandsTooFar);
}

}  // namespace
}  // namespace tarnwick::word
