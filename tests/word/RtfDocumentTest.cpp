#include "word/rtf/RtfDocument.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"
#include "word/automation/WordErrors.h"

namespace tarnwick::word {
namespace {

const std::string kRtf = "{\\rtf1 old text\\par}";
const std::string kChanged = "{\\rtf1 new text\\par}";

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

int saveError(RtfDocument& document)
{
    try {
        document.save();
    } catch (const ServerError& e) {
        return e.number();
    }
    return 0;
}

class RefusingRename : public FileOps {
public:
    std::error_code renameAt(int, const char*, int, const char*) override { return ErrnoCode(ENOSPC); }
};

TEST(RtfDocumentSave, KeepsPermissionBitsAndSymbolicLinks)
{
    test::TempTree tree;
    const std::string path = tree.write("doc.rtf", kRtf);
    ::chmod(path.c_str(), 0640);
    const std::string link = tree.path("link.rtf");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);

    auto document = RtfDocument::open(link);
    document->replace(0, 3, u"new");
    document->save();
    EXPECT_EQ(tree.read("doc.rtf"), kChanged);
    EXPECT_EQ(modeOf(path), 0640u);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    // Saving twice is fine: the document knows what it wrote.
    document->replace(0, 3, u"old");
    document->save();
    EXPECT_EQ(tree.read("doc.rtf"), kRtf);
}

TEST(RtfDocumentSave, AFailedSaveLeavesTheFileWhole)
{
    test::TempTree tree;
    const std::string path = tree.write("doc.rtf", kRtf);
    auto document = RtfDocument::open(path);
    document->replace(0, 3, u"new");

    RefusingRename refusing;
    FileOps::install(&refusing);
    const int error = saveError(*document);
    FileOps::install(nullptr);
    EXPECT_EQ(error, kErrorSaveFailed);
    EXPECT_EQ(tree.read("doc.rtf"), kRtf);

    // Read-only (owner write bit clear) and changed-on-disk files are not overwritten.
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(saveError(*document), kErrorNotWritable);
    ::chmod(path.c_str(), 0644);
    tree.write("doc.rtf", "{\\rtf1 someone else\\par}");
    EXPECT_EQ(saveError(*document), kErrorChangedOnDisk);
    EXPECT_EQ(tree.read("doc.rtf"), "{\\rtf1 someone else\\par}");
}

}  // namespace
}  // namespace tarnwick::word
