// Encrypted and damaged documents (README.md) are reported with the cause,
// the same text in every format, whichever reader meets them.
#include <gtest/gtest.h>

#include "engine/documents/WordDocumentEngine.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "word/automation/WordErrors.h"
#include "word/libreoffice/DocumentApplication.h"

namespace tarnwick {
namespace {

// The remark of the one error item a search of the fixture `name` gives.
std::string searchRemark(const std::string& name)
{
    const test::TempTree tree;
    const std::string path = tree.write(name, test::ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/" + name));
    SearchJob job = test::TestJob();
    job.wordExtensions = "doc, odt, rtf, docx";
    test::ReplaceFixture fixture(job, "rechnung", "");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    fixture.run().documents = &engine;
    engine.searchDocument(fixture.run(), path);
    const auto errors = fixture.errors();
    EXPECT_TRUE(fixture.hits().empty()) << name;
    return errors.size() == 1 ? errors[0].second : "(" + std::to_string(errors.size()) + " errors)";
}

TEST(UnreadableDocuments, EncryptedOnesSaySoInEveryFormat)
{
    const std::string expected = std::string("Laufzeitfehler '5003':") + word::kEncryptedDocument;
    for (const char* name : {"encrypted.docx", "encrypted.odt", "encrypted.doc"}) EXPECT_EQ(searchRemark(name), expected) << name;
}

TEST(UnreadableDocuments, DamagedOnesSaySoInEveryFormat)
{
    const std::string expected = std::string("Laufzeitfehler '5002':") + word::kDamagedDocument;
    for (const char* name : {"damaged.docx", "damaged.odt", "damaged.doc"}) {
        const std::string remark = searchRemark(name);
        EXPECT_EQ(remark.substr(0, expected.size()), expected) << name << ": " << remark;
    }
}

}  // namespace
}  // namespace tarnwick
