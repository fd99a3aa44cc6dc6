#include "crash/ReportArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tarnwick::crash {
namespace {

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A report file's name in the archive: on disk it carries 16 random hex
// digits ("<base>-<digits>.xml") so that nobody can plant a file under it;
// in the archive it is "<base>.xml" as it always was, which is what the
// receiving server knows.
std::string EntryNameOf(const std::string& path)
{
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < 17 || name[dot - 17] != '-') return name;
    for (std::size_t i = dot - 16; i < dot; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return name;
    return name.substr(0, dot - 17) + name.substr(dot);
}

std::string ZipErrorText(zip_error_t* error)
{
    const std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

}  // namespace

ReportArchive CreateReportArchive(const std::vector<ReportFile>& files, const std::string& tempDir, const std::string& baseName)
{
    ReportArchive result;
    std::string path = tempDir + "/" + baseName + "XXXXXX.zip";
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0) {
        result.error = std::strerror(errno);
        return result;
    }
    ::close(fd);

    // The empty file mkstemps made is no archive yet: open it truncated.
    int openError = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_TRUNCATE, &openError);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        result.error = ZipErrorText(&error);
        ::unlink(path.c_str());
        return result;
    }
    for (const ReportFile& file : files) {
        struct stat info {};
        if (::stat(file.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        zip_source_t* source = zip_source_file(archive, file.path.c_str(), 0, -1);
        if (!source || zip_file_add(archive, EntryNameOf(file.path).c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            if (source) zip_source_free(source);
            result.error = zip_strerror(archive);
            zip_discard(archive);
            ::unlink(path.c_str());
            return result;
        }
    }
    // Until the close nothing is written; a failing close leaves the archive unusable.
    if (zip_close(archive) != 0) {
        result.error = zip_strerror(archive);
        zip_discard(archive);
        ::unlink(path.c_str());
        return result;
    }
    // libzip writes no file for an empty archive; the report still needs one.
    struct stat written {};
    if (::stat(path.c_str(), &written) != 0) {
        const int recreated = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        static const unsigned char kEmptyZip[22] = {0x50, 0x4b, 0x05, 0x06};
        if (recreated < 0 || ::write(recreated, kEmptyZip, sizeof kEmptyZip) != sizeof kEmptyZip) {
            result.error = std::strerror(errno);
            if (recreated >= 0) ::close(recreated);
            ::unlink(path.c_str());
            return result;
        }
        ::close(recreated);
    }
    result.path = path;
    return result;
}

}  // namespace tarnwick::crash
