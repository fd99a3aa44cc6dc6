#include "engine/walk/SearchWalk.h"
#include "engine/Messages.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunReports.h"
#include "engine/walk/EntryFilter.h"
#include "engine/walk/NameSearch.h"
#include "engine/worker/RunSearch.h"
#include "platform/SystemError.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <future>
#include <new>
#include <set>

// Present when the undefined-behaviour sanitizer checks virtual calls.
extern "C" void __ubsan_handle_dynamic_type_cache_miss() __attribute__((weak));

namespace tarnwick::test {
namespace {

using Names = std::set<std::string>;

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Stands in for the word-processor component: records the documents it is
// given and does whatever the test asks with each.
class RecordingDocuments final : public DocumentEngine {
public:
    void searchDocument(RunContext& run, const std::string& path) override
    {
        names.push_back(baseName(path));
        if (onDocument) onDocument(run, path);
    }
    void replaceDocument(RunContext& run, const std::string& path) override { searchDocument(run, path); }
    std::vector<std::string> names;
    std::function<void(RunContext&, const std::string&)> onDocument;
};

// One search run over a tree, and what it left in the result list.
struct Search {
    Search(const SearchJob& job, std::string root, const std::string& text = "needle") : root(std::move(root)), fixture(job, text)
    {
    }
    Search& run(DocumentEngine* documents = nullptr)
    {
        fixture.run().documents = documents;
        RunSearch(fixture.run(), root);
        return *this;
    }
    // Paths, relative to the root, of the top-level items of `kind`.
    Names items(ItemKind kind) const
    {
        Names out;
        for (const std::string& path : fixture.topLevel(kind)) out.insert(path.substr(root.size() + 1));
        return out;
    }
    // Files whose contents or names produced an item.
    Names searched() const
    {
        Names out = items(ItemKind::File);
        out.merge(items(ItemKind::FileNameHit));
        return out;
    }
    // Position of the first top-level item with this kind and relative path.
    std::size_t rowOf(ItemKind kind, const std::string& relative)
    {
        ResultList& list = fixture.results();
        for (std::size_t row = 0; row < list.TopLevelCount(); ++row) {
            const ItemHandle item = list.TopLevelItem(row);
            if (list.Kind(item) == kind && list.ColumnText(item, ResultColumn::FileOrContext) == root + "/" + relative)
                return row;
        }
        return SIZE_MAX;
    }

    std::string root;
    RunFixture fixture;
};

// The front ends refuse a missing start folder; one that goes away after
// that check must not make the run look like an empty one.
TEST(SearchWalk, AStartFolderThatIsGoneIsAnErrorItem)
{
    TempTree tree;
    SearchJob job = TestJob();
    job.includeSubfolders = job.searchFileNames = job.searchDirNames = 1;
    Search search(job, tree.path("missing"));
    search.run();
    const auto errors = search.fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, tree.path("missing"));
    EXPECT_EQ(errors[0].second, std::string(text::kCannotReadDirectory) + ": " + SystemErrorText(ENOENT));
    EXPECT_EQ(search.fixture.counters().examined.load(), 0);
    EXPECT_EQ(search.fixture.counters().files.load(), 0);
}

TEST(SearchWalk, DirectoryNameIsTestedAfterItsContentsAndEveryEntryIsCounted)
{
    TempTree tree;
    tree.write("needle_dir/a.txt", "a needle");
    tree.write("needle_dir/b.txt", "nothing");
    tree.write("top.txt", "needle");
    tree.write("skipped.bak", "needle");  // rejected, but examined all the same
    SearchJob job = TestJob();
    job.includeSubfolders = job.searchDirNames = 1;
    Search search(job, tree.root());
    search.run();
    EXPECT_EQ(search.items(ItemKind::File), (Names{"needle_dir/a.txt", "top.txt"}));
    EXPECT_LT(search.rowOf(ItemKind::File, "needle_dir/a.txt"), search.rowOf(ItemKind::DirNameHit, "needle_dir"));
    EXPECT_NE(search.rowOf(ItemKind::DirNameHit, "needle_dir"), SIZE_MAX);
    EXPECT_EQ(search.fixture.counters().examined.load(), 5);
    EXPECT_EQ(search.fixture.counters().files.load(), 3);
    EXPECT_EQ(search.fixture.counters().hits.load(), 2);
}

// Results come in the same order on every file system: names compared by
// their capitals, names equal but for case by their bytes, folders and files
// interleaved.
TEST(SearchWalk, EntriesAreVisitedByNameIgnoringCase)
{
    TempTree tree;
    for (const char* name : {"b.txt", "A_b.txt", "Ab.txt", "a.txt", "B.txt", "ä.txt", "Ö.txt", "z.txt"})
        tree.write(name, "needle");
    tree.write("M/needle.txt", "needle");
    SearchJob job = TestJob();
    job.includeSubfolders = 1;
    Search search(job, tree.root());
    search.run();
    std::vector<std::string> order;
    for (const std::string& path : search.fixture.topLevel(ItemKind::File)) order.push_back(path.substr(tree.root().size() + 1));
    EXPECT_EQ(
        order,
        (std::vector<std::string>{"a.txt", "Ab.txt", "A_b.txt", "B.txt", "b.txt", "M/needle.txt", "z.txt", "ä.txt", "Ö.txt"}));
}

// A folder whose listing cannot be read is one error item with the system's
// reason, and the walk goes on with the next entry. The failure is real: the
// process runs out of descriptors (permissions do not stop root).
TEST(SearchWalk, FolderThatCannotBeListedIsAnErrorItem)
{
    // The undefined-behaviour sanitizer's runtime makes sure a vtable is readable by
    // writing it into a pipe of its own; with every descriptor taken the pipe
    // cannot be made, and the error report's calls on the sink are flagged as
    // calls on an object of the wrong type. Plain builds run this test.
    if (&__ubsan_handle_dynamic_type_cache_miss != nullptr) GTEST_SKIP() << "the virtual-call sanitizer needs free descriptors";
    TempTree tree;
    tree.write("a/inner/x.txt", "needle");
    tree.write("b.txt", "needle");
    SearchJob job = TestJob();
    job.includeSubfolders = 1;
    Search search(job, tree.root());
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    int open = 0;
    for (int fd = 0; fd < 4096; ++fd)
        if (::fcntl(fd, F_GETFD) != -1) open = fd + 1;
    // Descriptors are handed out lowest first: fill the gaps below the
    // highest one, so that exactly two more can be had: the start folder and
    // "a" can be listed, "a/inner" cannot.
    std::vector<int> fillers;
    for (int fd = 0; fd < open; ++fd)
        if (::fcntl(fd, F_GETFD) == -1) fillers.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    struct rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(open + 2);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    search.run();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    for (int fd : fillers) ::close(fd);
    const auto errors = search.fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, tree.path("a/inner"));
    EXPECT_EQ(errors[0].second, std::string(text::kCannotReadDirectory) + ": " + SystemErrorText(EMFILE));
    EXPECT_EQ(search.items(ItemKind::File), (Names{"b.txt"}));
    EXPECT_NE(search.fixture.runLog().text().find("Kann Verzeichnis nicht lesen: " + tree.path("a/inner") + "\r\n"),
              std::string::npos);
}

TEST(SearchWalk, HiddenDirectoryIsSkippedOnlyWithAttributesOnDirectories)
{
    TempTree tree;
    tree.write(".needle/in.txt", "needle");
    SearchJob job = TestJob();
    job.skipHidden = job.includeSubfolders = job.searchDirNames = 1;
    for (int onDirs : {0, 1}) {
        SCOPED_TRACE(onDirs);
        job.attributesOnDirs = onDirs;
        Search search(job, tree.root());
        search.run();
        EXPECT_EQ(search.items(ItemKind::File), onDirs ? Names{} : Names{".needle/in.txt"});
        EXPECT_EQ(search.items(ItemKind::DirNameHit), onDirs ? Names{} : Names{".needle"});
    }
}

TEST(SearchWalk, SizeBoundsAreInclusive)
{
    TempTree tree;
    for (int size : {1023, 1024, 2048, 2049})
        tree.write(std::to_string(size) + ".txt", "needle" + std::string(static_cast<std::size_t>(size - 6), ' '));
    SearchJob job = TestJob();
    job.sizeFilter = 1;
    job.minSizeKb = 1;
    job.maxSizeKb = 2;
    Search search(job, tree.root());
    search.run();
    EXPECT_EQ(search.items(ItemKind::File), (Names{"1024.txt", "2048.txt"}));
}

TEST(SearchWalk, TypeFilterAndBackupAndTemporaryFiles)
{
    struct Case {
        int allTypes;
        const char* fileTypes;
        const char* backupExtension;
        std::vector<const char*> files;
        Names searched;
    };
    const Case cases[] = {
        {0, "*.txt;", ".bak", {"readme", "x.TXT", "y.txt", "z.txt.old"}, {"x.TXT", "y.txt"}},
        // The list is plain text: "*.tar.gz;" admits every .gz, and a name
        // without a dot is compared whole.
        {0, "*.tar.gz;", ".bak", {"a.gz", "b.tar.gz", "c.tar"}, {"a.gz", "b.tar.gz"}},
        {0, "*.cpp;", ".bak", {"cpp", "a.cpp", "acpp"}, {"cpp", "a.cpp"}},
        {1, "", ".bak", {"a.bak", "b.BAK", "c.txt", "x.", "needle.trwtmp8", "d.TRWTMP8"}, {"c.txt", "x."}},
        {0, ".bak; .txt;", ".bak", {"a.bak", "a.BAK", "c.txt"}, {"c.txt"}},
        // With a type list, a capitalised backup extension excludes nothing.
        {0, ".bak; .txt; .trwtmp8;", ".BAK", {"a.bak", "c.txt", "needle.trwtmp8"}, {"a.bak", "c.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileTypes);
        TempTree tree;
        for (const char* file : c.files) tree.write(file, "needle");
        SearchJob job = TestJob();
        job.allFileTypes = c.allTypes;
        job.fileTypes = c.fileTypes;
        job.backupExtension = c.backupExtension;
        job.searchFileNames = 1;  // a temporary file's name is never tested either
        Search search(job, tree.root());
        search.run();
        EXPECT_EQ(search.searched(), c.searched);
    }
}

TEST(SearchWalk, NameStringFilter)
{
    TempTree tree;
    for (const char* file : {"test_log.txt", "test.txt", "other.txt"}) tree.write(file, "needle");
    const struct {
        const char* strings;
        NameStringMode mode;
        Names admitted;
    } cases[] = {
        {"test; log;", NameStringMode::AllMustOccur, {"test_log.txt"}},
        {"test; log;", NameStringMode::IgnoreIfAnyOccurs, {"other.txt"}},
        {"test;log", NameStringMode::AllMustOccur, {"test_log.txt", "test.txt"}},  // text after the last ';' ignored
        {"test; ;", NameStringMode::AllMustOccur, {"test_log.txt", "test.txt"}},  // an empty token is everywhere
        {" ;", NameStringMode::IgnoreIfAnyOccurs, {}},
        {"Test;", NameStringMode::AllMustOccur, {}},  // case-sensitive
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strings);
        SearchJob job = TestJob();
        job.nameStrings = c.strings;
        job.nameStringMode = c.mode;
        Search search(job, tree.root());
        search.run();
        EXPECT_EQ(search.items(ItemKind::File), c.admitted);
    }
}

TEST(SearchWalk, DateFilter)
{
    TempTree tree;
    for (int t : {999, 1000, 2000, 2001}) tree.write("m" + std::to_string(t), "needle");
    tree.write("needle_old/in.txt", "needle");
    tree.mkdir("needle_new");
    const auto setTimes = [&] {
        for (int t : {999, 1000, 2000, 2001}) tree.setTimes("m" + std::to_string(t), 5000, t);
        tree.setTimes("needle_old/in.txt", 5000, 1500);
        tree.setTimes("needle_old", 5000, 10);
        tree.setTimes("needle_new", 5000, 1500);
    };
    SearchJob job = TestJob();
    job.includeSubfolders = job.searchDirNames = job.dateFilter = 1;
    job.dateCreated = 0;
    job.dateFrom = 1000;
    job.dateTo = 2000;
    const auto check = [&](int modified, int accessed, Names files, Names dirs) {
        SCOPED_TRACE(testing::Message() << modified << accessed << job.dateFrom);
        setTimes();  // reading a file may move its access time
        job.dateModified = modified;
        job.dateAccessed = accessed;
        Search search(job, tree.root());
        search.run();
        EXPECT_EQ(search.items(ItemKind::File), files);
        EXPECT_EQ(search.items(ItemKind::DirNameHit), dirs);
    };
    // A directory outside the range is still entered; only its name is not tested.
    check(1, 0, {"m1000", "m2000", "needle_old/in.txt"}, {"needle_new"});
    check(0, 1, {}, {});
    const Names all{"m999", "m1000", "m2000", "m2001", "needle_old/in.txt"};
    check(0, 0, all, {"needle_new", "needle_old"});
    job.dateFrom = 2001;
    job.dateTo = 1000;
    check(1, 0, {}, {});
}

TEST(SearchWalk, StopEndsEveryLevelAtItsNextEntry)
{
    TempTree tree;
    for (const char* file : {"d1/a", "d1/b", "d1/c", "d2/a", "d2/b", "d2/c"}) tree.write(file, "needle");
    SearchJob job = TestJob();
    job.includeSubfolders = 1;
    job.wordAutoMode = WordAutoMode::AllTypes;
    Search search(job, tree.root());
    RecordingDocuments documents;
    documents.onDocument = [&](RunContext&, const std::string&) { search.fixture.stopFlag() = true; };
    search.run(&documents);
    EXPECT_EQ(documents.names.size(), 1u);
    // The first directory and the first file in it.
    EXPECT_EQ(search.fixture.counters().examined.load(), 2);
}

// A failure that ends an entry, or an exception C++ threw there, is that
// entry's one error item; the walk goes on.
TEST(SearchWalk, ExceptionInOneEntryBecomesOneErrorItem)
{
    TempTree tree;
    const std::string longText(300, 'r');
    const auto failing = [](Failure failure) {
        return [failure](RunContext& run, const std::string& path) { ReportEntryFailure(run, path, failure); };
    };
    const struct {
        const char* file;
        std::function<void(RunContext&, const std::string&)> raise;
        std::string message;
    } cases[] = {
        {"file.x", failing(systemFailure(ErrnoCode(EIO), "disk gone")), "FileExeption: disk gone"},
        {"code.x", failing(systemFailure(ErrnoCode(EIO))), "FileExeption: " + SystemErrorText(EIO)},
        {"long.x", failing(systemFailure(ErrnoCode(EIO), longText)), "FileExeption: " + longText.substr(0, 255)},
        {"mem.x", failing(systemFailure(ErrnoCode(ENOMEM), "no room")), "MemoryExeption: no room"},
        {"alloc.x", [](RunContext&, const std::string&) { throw std::bad_alloc(); },
         "MemoryExeption: " + SystemErrorText(ENOMEM)},
        {"plain.x", [](RunContext&, const std::string&) { throw std::runtime_error("x"); }, "Unbekannter Fehler"},
        {"ok.x", [](RunContext&, const std::string&) {}, ""},
    };
    std::set<std::pair<std::string, std::string>> expected;
    for (const auto& c : cases) {
        tree.write(c.file, "");
        if (!c.message.empty()) expected.emplace(tree.path(c.file), c.message);
    }
    SearchJob job = TestJob();
    job.wordAutoMode = WordAutoMode::AllTypes;
    RecordingDocuments documents;
    documents.onDocument = [&](RunContext& run, const std::string& path) {
        for (const auto& c : cases)
            if (baseName(path) == c.file) c.raise(run, path);
    };
    Search search(job, tree.root());
    search.run(&documents);
    const auto errors = search.fixture.errors();
    EXPECT_EQ((std::set(errors.begin(), errors.end())), expected);
    EXPECT_EQ(errors.size(), expected.size());
    EXPECT_EQ(documents.names.size(), std::size(cases));
}

TEST(SearchWalk, DocumentRouting)
{
    TempTree tree;
    for (const char* file : {"a.docx", "b.DOC", "c.txt", "d.docm"}) tree.write(file, "needle");
    const struct {
        int useWord;
        WordAutoMode mode;
        std::vector<std::string> routed;
    } cases[] = {
        {1, WordAutoMode::ByExtension, {"a.docx", "b.DOC"}},
        {1, WordAutoMode::AllTypes, {"a.docx", "b.DOC", "c.txt", "d.docm"}},
        {0, WordAutoMode::AllTypes, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.useWord << static_cast<int>(c.mode));
        SearchJob job = TestJob();
        job.useWord = c.useWord;
        job.wordAutoMode = c.mode;
        RecordingDocuments documents;
        Search search(job, tree.root());
        search.run(&documents);
        EXPECT_EQ(Names(documents.names.begin(), documents.names.end()), Names(c.routed.begin(), c.routed.end()));
        EXPECT_EQ(search.items(ItemKind::File).size(), 4 - c.routed.size());
    }
}

TEST(SearchWalk, DocumentsWithoutDocumentEngineAreReportedAndTheRunGoesOn)
{
    TempTree tree;
    for (const char* file : {"a.docx", "b.rtf", "c.txt"}) tree.write(file, "needle");
    Search search(TestJob(), tree.root());
    search.run();
    const std::string log = search.fixture.runLog().text();
    std::set<std::pair<std::string, std::string>> expected;
    for (const char* file : {"a.docx", "b.rtf"}) {
        const std::string message = "MS Word kann nicht initialisiert werden: " + tree.path(file);
        EXPECT_NE(log.find(message + "\r\n"), std::string::npos) << log;
        expected.emplace(message, "");
    }
    const auto errors = search.fixture.errors();
    EXPECT_EQ((std::set(errors.begin(), errors.end())), expected);
    EXPECT_EQ(search.items(ItemKind::File), Names{"c.txt"});
}

TEST(SearchWalk, SymbolicLinks)
{
    TempTree tree;
    tree.write("real/target.txt", "needle");
    ASSERT_EQ(::symlink("real/target.txt", tree.path("link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("real", tree.path("needle_link").c_str()), 0);
    ASSERT_EQ(::symlink("..", tree.path("real/loop").c_str()), 0);
    SearchJob job = TestJob();
    job.includeSubfolders = job.searchDirNames = 1;
    Search search(job, tree.root());
    search.run();
    EXPECT_EQ(search.items(ItemKind::File), (Names{"link.txt", "real/target.txt"}));
    EXPECT_EQ(search.items(ItemKind::DirNameHit), Names{"needle_link"});
    EXPECT_TRUE(search.fixture.errors().empty());
}

TEST(SearchWalk, FifoIsNeverOpenedButItsNameIsTested)
{
    TempTree tree;
    const std::vector<std::string> fifos{tree.path("needle.fifo"), tree.path("pipe.doc")};
    for (const std::string& fifo : fifos) ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    SearchJob job = TestJob();
    job.searchFileNames = 1;
    RecordingDocuments documents;
    Search search(job, tree.root());
    auto done = std::async(std::launch::async, [&] { search.run(&documents); });
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        // Opening a writer end releases a reader blocked in open().
        for (const std::string& fifo : fifos)
            if (const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
        done.wait();
        FAIL() << "the walk blocked on a FIFO";
    }
    EXPECT_EQ(search.items(ItemKind::FileNameHit), Names{"needle.fifo"});
    EXPECT_TRUE(search.items(ItemKind::File).empty());
    EXPECT_TRUE(search.fixture.errors().empty());
    EXPECT_TRUE(documents.names.empty());
}

TEST(SearchWalk, IsWordExtension)
{
    const std::string_view list = "doc, dot, rtf, docx";
    for (const char* yes : {"doc", "dot", "rtf", "docx"}) EXPECT_TRUE(IsWordExtension(yes, list)) << yes;
    for (const char* no : {"o", "", "do", "oc", "docm"}) EXPECT_FALSE(IsWordExtension(no, list)) << no;
    EXPECT_TRUE(IsWordExtension("doc", ".doc,rtf"));
    EXPECT_FALSE(IsWordExtension("doc", "doc ,rtf"));
}

TEST(NameSearch, Matching)
{
    const struct {
        int regex;
        int matchCase;
        const char* text;
        const char* name;
        bool matches;
    } cases[] = {
        {0, 0, "readme", "README.TXT", true},
        {0, 1, "readme", "README.TXT", false},
        {0, 0, "test", "mytest.txt", true},  // whole words are never applied to names
        {1, 0, "^a", "abc", true},
        {1, 0, "^a", "xa", false},
        {1, 0, "^A", "abc", true},
        {1, 1, "^A", "abc", false},
        {1, 0, "t.st$", "mytest", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << c.name);
        SearchJob job = TestJob();
        job.regularExpression = c.regex;
        job.matchCase = c.matchCase;
        job.wholeWords = 1;
        RunFixture fixture(job, c.text);
        if (c.regex) {
            ASSERT_TRUE(CompileSearchRegex(fixture.run()));
        }
        EXPECT_EQ(NameMatches(fixture.run(), c.name), c.matches);
    }
}

TEST(NameSearch, NameHitsAreSeparateItemsWithReasonAndSearchTextLength)
{
    TempTree tree;
    tree.write("needle.txt", "a needle");
    tree.write("needle_needle.dat", "nothing");
    tree.mkdir("needle_dir");
    SearchJob job = TestJob();
    job.searchFileNames = job.searchDirNames = job.includeSubfolders = 1;
    Search search(job, tree.root());
    search.run();
    EXPECT_EQ(search.items(ItemKind::File), Names{"needle.txt"});
    EXPECT_EQ(search.items(ItemKind::FileNameHit), (Names{"needle.txt", "needle_needle.dat"}));
    EXPECT_EQ(search.items(ItemKind::DirNameHit), Names{"needle_dir"});
    EXPECT_LT(search.rowOf(ItemKind::File, "needle.txt"), search.rowOf(ItemKind::FileNameHit, "needle.txt"));
    EXPECT_EQ(search.fixture.counters().files.load(), 4);
    EXPECT_EQ(search.fixture.counters().hits.load(), 1);

    ResultList& list = search.fixture.results();
    const struct {
        ItemKind kind;
        const char* name;
        const char* reason;
    } hits[] = {{ItemKind::FileNameHit, "needle_needle.dat", "Im Dateinamen gefunden"},
                {ItemKind::DirNameHit, "needle_dir", "Im Verzeichnisnamen gefunden"}};
    for (const auto& h : hits) {
        const ItemHandle item = list.TopLevelItem(search.rowOf(h.kind, h.name));
        EXPECT_EQ(list.ColumnText(item, ResultColumn::Remark), h.reason);
        EXPECT_EQ(list.Data(item).kind, ItemDataKind::Plain);
        EXPECT_EQ(list.Data(item).first, 6);
        EXPECT_TRUE(list.HasCheckBox(item));
        const std::string line = std::string(h.reason) + tree.path(h.name) + "\r\n";
        EXPECT_NE(search.fixture.runLog().text().find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace tarnwick::test
