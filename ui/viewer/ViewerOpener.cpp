#include "ui/viewer/ViewerOpener.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "platform/SystemError.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

QString SystemText(int error) { return QString::fromLocal8Bit(SystemErrorText(error)); }

QString NotARegularFile(const QString& path) { return viewertext::NotAFile().arg(path); }

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<std::int64_t> ViewerFileSize(const QString& path, QString* error)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (error != nullptr) *error = viewertext::CannotRead().arg(path, SystemText(errno));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error != nullptr) *error = NotARegularFile(path);
        return std::nullopt;
    }
    return static_cast<std::int64_t>(st.st_size);
}

ViewerFileRead ReadViewerFile(const QString& path)
{
    ViewerFileRead result;
    // O_NONBLOCK: a FIFO put in the file's place must not stop the program.
    Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        result.error = viewertext::CannotRead().arg(path, SystemText(errno));
        return result;
    }
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) {
        result.error = viewertext::CannotRead().arg(path, SystemText(errno));
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = NotARegularFile(path);
        return result;
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(st.st_size));
    // The file may grow or shrink while it is read: read until its end.
    const qsizetype step = std::clamp<qsizetype>(static_cast<qsizetype>(st.st_size), 1 << 16, 1 << 24);
    QByteArray block(step, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(file.fd, block.data(), static_cast<size_t>(block.size()));
        if (got < 0) {
            if (errno == EINTR) continue;
            result.error = viewertext::CannotRead().arg(path, SystemText(errno));
            return result;
        }
        if (got == 0) break;
        bytes.append(block.constData(), static_cast<qsizetype>(got));
    }
    result.bytes = std::move(bytes);
    return result;
}

std::pair<qsizetype, qsizetype> CodePointRange(const QString& text, std::int64_t start, std::int64_t length)
{
    const auto skip = [&text](qsizetype from, std::int64_t count) {
        for (; count > 0 && from < text.size(); --count)
            from += text[from].isHighSurrogate() && from + 1 < text.size() && text[from + 1].isLowSurrogate() ? 2 : 1;
        return from;
    };
    const qsizetype begin = skip(0, start);
    return {begin, skip(begin, length)};
}

ViewerOpener::ViewerOpener(ViewerPrompts& prompts, ViewerDocument& document, const ViewerCodec& codec)
    : m_prompts(prompts), m_document(document), m_codec(codec)
{
}

bool ViewerOpener::openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength, std::int64_t splitLength)
{
    const bool sameFile = m_loaded && path == m_currentPath;
    if (m_reloadRequired || !sameFile) {
        if (!m_reloadRequired) {
            QString error;
            const auto size = ViewerFileSize(path, &error);
            if (!size) {
                m_prompts.showError(error);
                return false;
            }
            if (*size > splitLength && !m_prompts.askOpenLargeFile()) return false;
        }
        if (!load(path)) return false;
    }
    if (byteStart >= 0) m_document.selectBytes(byteStart, byteLength);
    return true;
}

bool ViewerOpener::openInnerForResult(const QString& name, const std::function<ViewerInnerRead()>& read, std::int64_t start,
                                      std::int64_t length, std::int64_t splitLength)
{
    // Nothing inside such a file changes under a replace run: shown is shown.
    if (!(m_loaded && m_inner && name == m_currentPath)) {
        ViewerInnerRead got = read();
        if (!got.bytes) {
            m_prompts.showError(got.error);
            return false;
        }
        if (got.bytes->size() > splitLength && !m_prompts.askOpenLargeFile()) return false;
        if (!settleUnsavedChanges()) return false;
        // A page's text is UTF-8 whatever the system's code page; a file's bytes are read as a file on disk is.
        ViewerText text =
            got.isPageText ? ViewerText{QString::fromUtf8(*got.bytes), ViewerFileFormat{}} : m_codec.decode(*got.bytes);
        text.readOnly = ReadOnlyReason::InsideFile;
        m_document.showText(name, std::move(text));
        m_loaded = true;
        m_currentPath = name;
        m_reloadRequired = false;
        m_inner = true;
        m_innerPageText = got.isPageText;
    }
    if (start < 0) return true;
    if (m_innerPageText)
        m_document.selectCodePoints(start, length);
    else
        m_document.selectBytes(start, length);
    return true;
}

bool ViewerOpener::openFile(const QString& path) { return load(path); }

bool ViewerOpener::newDocument()
{
    if (!settleUnsavedChanges()) return false;
    // UTF-8 with LF line ends, as a new text file on this system is.
    m_document.showText(QString(), ViewerText{});
    m_loaded = true;
    m_inner = false;
    m_currentPath.clear();
    m_reloadRequired = false;
    return true;
}

bool ViewerOpener::load(const QString& path)
{
    // Read first: a file that cannot be read leaves everything as it is.
    ViewerFileRead read = ReadViewerFile(path);
    if (!read.bytes) {
        m_prompts.showError(read.error);
        return false;
    }
    if (!settleUnsavedChanges()) return false;
    m_document.showText(path, m_codec.decode(*read.bytes));
    m_loaded = true;
    m_inner = false;
    m_currentPath = path;
    m_reloadRequired = false;
    return true;
}

bool ViewerOpener::settleUnsavedChanges()
{
    if (!m_document.isModified()) return true;
    switch (m_prompts.askSaveChanges(m_currentPath)) {
    case SaveAnswer::Save: return m_document.saveDocument();
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: return false;
    }
    return false;
}

bool ViewerOpener::confirmClose() { return settleUnsavedChanges(); }

}  // namespace tarnwick::ui
