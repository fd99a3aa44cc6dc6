// Two stand-ins for tarnwick-cli, for the tests of the crash-point driver
// (replace "alpha" by "omega" in the files directly in DIR):
//   crashpoints-fake-cli replace careful DIR   journals each file's old
//       contents and its temporary file's name durably first, writes the new
//       contents to that temporary file and renames it into place; first
//       clears up what an interrupted run left
//   crashpoints-fake-cli replace careless DIR  overwrites each file in
//       place, in two writes, and journals nothing
//   crashpoints-fake-cli undo                  clears up and restores what
//       the journal holds; exit status 0 when it restored a file, else 1
// The journal lives in $XDG_STATE_HOME/fake.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string g_state;  // the journal's folder

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeDurably(const std::string& path, const std::string& bytes, int flags, mode_t mode = 0)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | flags, 0644);
    if (mode != 0) ::fchmod(fd, mode);
    (void)::write(fd, bytes.data(), bytes.size());
    ::fsync(fd);
    ::close(fd);
}

// Writes `bytes` to `temp`, then lets it take the place of `path`, with its mode.
void replaceFile(const std::string& path, const std::string& temp, const std::string& bytes)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    writeDurably(temp, bytes, O_EXCL, st.st_mode & 07777);
    ::rename(temp.c_str(), path.c_str());
}

struct JournalLine {
    std::string number, path, temp;
};

std::vector<JournalLine> readJournal()
{
    std::vector<JournalLine> lines;
    std::istringstream in(readFile(g_state + "/journal"));
    for (JournalLine line;
         std::getline(in, line.number, '\t') && std::getline(in, line.path, '\t') && std::getline(in, line.temp);)
        lines.push_back(line);
    return lines;
}

// Removes the temporary files of an interrupted run; with `restore`, also
// puts the old contents back. Returns how many files it restored.
int clearUp(bool restore)
{
    int restored = 0;
    for (const JournalLine& line : readJournal()) {
        ::unlink(line.temp.c_str());
        const std::string old = readFile(g_state + "/" + line.number + ".old");
        if (restore && readFile(line.path) != old) {
            replaceFile(line.path, line.temp, old);
            ++restored;
        }
        ::unlink((g_state + "/" + line.number + ".old").c_str());
    }
    ::unlink((g_state + "/journal").c_str());
    return restored;
}

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* folder = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(folder))
            if (entry->d_type == DT_REG) names.push_back(entry->d_name);
        ::closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int replace(bool careful, const std::string& dir)
{
    if (careful) clearUp(false);
    int changed = 0;
    for (const std::string& name : filesIn(dir)) {
        const std::string path = dir + "/" + name;
        const std::string old = readFile(path);
        std::string fresh = old;
        for (auto at = fresh.find("alpha"); at != std::string::npos; at = fresh.find("alpha")) fresh.replace(at, 5, "omega");
        if (fresh == old) continue;
        ++changed;
        if (!careful) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            (void)::write(fd, fresh.data(), 4);
            (void)::write(fd, fresh.data() + 4, fresh.size() - 4);
            ::close(fd);
            continue;
        }
        const std::string number = std::to_string(changed);
        writeDurably(g_state + "/" + number + ".old", old, O_TRUNC);
        const std::string temp = path + ".k" + number + ".trwtmp8";
        writeDurably(g_state + "/journal", number + "\t" + path + "\t" + temp + "\n", O_APPEND);
        replaceFile(path, temp, fresh);
    }
    return changed > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* state = std::getenv("XDG_STATE_HOME");
    g_state = std::string(state ? state : "/nonexistent") + "/fake";
    ::mkdir(g_state.c_str(), 0755);
    if (argc == 2 && std::strcmp(argv[1], "undo") == 0) return clearUp(true) > 0 ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "replace") == 0) return replace(std::strcmp(argv[2], "careful") == 0, argv[3]);
    return 2;
}
