#include "word/package/ZipPackage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/ExpansionLimits.h"
#include "platform/FileCommit.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"

#include <zip.h>

namespace tarnwick::word {
namespace {

constexpr std::string_view kCompoundFileMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

std::string zipErrorText(zip_error_t* error) { return zip_error_strerror(error); }

[[noreturn]] void refuseDamaged(const std::string& detail)
{
    RefuseDamaged("das Zip-Paket lässt sich nicht lesen (" + detail + ").");
}

[[noreturn]] void refuseExpansion(const std::string& name)
{
    Refuse(kErrorExpandsTooFar,
           "Der Dokumentteil " + name + " würde entpackt mehr als das " + std::to_string(kMaxExpansionRatio) +
               "-Fache seiner gepackten Größe belegen.");
}

[[noreturn]] void refuseTotal()
{
    Refuse(kErrorExpandsTooFar,
           "Die Teile des Dokuments würden entpackt mehr als " + std::to_string(kMaxExpandedTotal >> 20) + " MB belegen.");
}

// An archive opened over bytes in memory; discarded unless closed.
class Archive {
public:
    explicit Archive(std::string_view bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        // The source gets a copy it owns: writing the archive back replaces
        // the source's buffers, and libzip must never free memory of ours.
        // An empty file gets an empty source that owns nothing (libzip would
        // not free a buffer of length 0).
        void* copy = bytes.empty() ? nullptr : std::malloc(bytes.size());
        if (copy) std::memcpy(copy, bytes.data(), bytes.size());
        if (copy || bytes.empty()) m_source = zip_source_buffer_create(copy, bytes.size(), copy ? 1 : 0, &error);
        if (!m_source) std::free(copy);
        if (m_source) m_zip = zip_open_from_source(m_source, ZIP_CHECKCONS, &error);
        if (!m_zip) {
            const std::string text = zipErrorText(&error);
            zip_error_fini(&error);
            zip_source_free(m_source);
            refuseDamaged(text);
        }
        zip_error_fini(&error);
    }
    ~Archive()
    {
        if (m_zip) zip_discard(m_zip);  // frees the source too
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    zip_t* zip() const { return m_zip; }

    // Closes the archive, which writes it into its buffer source, and returns
    // the new archive bytes.
    std::string closeToBytes()
    {
        zip_source_keep(m_source);
        if (zip_close(m_zip) < 0) {
            const std::string text = zipErrorText(zip_get_error(m_zip));
            zip_source_free(m_source);  // our reference; the archive still holds its own
            Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + text);
        }
        m_zip = nullptr;
        std::string bytes;
        zip_stat_t stat;
        zip_stat_init(&stat);
        bool ok = zip_source_stat(m_source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && zip_source_open(m_source) == 0;
        if (ok) {
            bytes.resize(stat.size);
            ok = zip_source_read(m_source, bytes.data(), stat.size) == static_cast<zip_int64_t>(stat.size);
            zip_source_close(m_source);
        }
        zip_source_free(m_source);
        if (!ok) Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: das Paket ließ sich nicht schreiben.");
        return bytes;
    }

private:
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
};

}  // namespace

ZipPackage::ZipPackage(const std::string& path) : m_path(path)
{
    m_bytes = ReadDocumentFile(path, &m_identity);
    if (std::string_view(m_bytes).substr(0, kCompoundFileMagic.size()) == kCompoundFileMagic)
        Refuse(kErrorEncrypted, "Das Dokument ist verschlüsselt oder in einem alten Binärformat gespeichert.");
    Archive archive(m_bytes);  // checks the archive's consistency once
}

std::optional<std::string> ZipPackage::read(const std::string& name) const
{
    Archive archive(m_bytes);
    const zip_int64_t index = zip_name_locate(archive.zip(), name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return std::nullopt;
    zip_stat_t stat;
    if (zip_stat_index(archive.zip(), static_cast<zip_uint64_t>(index), 0, &stat) != 0) refuseDamaged(name);
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) RefuseEncrypted();
    if (!(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE)) refuseDamaged(name);
    if (stat.size > kMaxPartSize) Refuse(kErrorTooLarge, "Der Dokumentteil " + name + " ist zu groß.");
    // The sizes the archive states are checked before anything is inflated ...
    if (ExceedsExpansionRatio(stat.size, stat.comp_size)) refuseExpansion(name);
    if (stat.size > kMaxExpandedTotal - m_inflated) refuseTotal();

    zip_file_t* entry = zip_fopen_index(archive.zip(), static_cast<zip_uint64_t>(index), 0);
    if (!entry) refuseDamaged(name + ": " + zipErrorText(zip_get_error(archive.zip())));
    // ... and the bytes it really gives against the same limits, since the
    // stated size is only the archive's word: reading stops one chunk past
    // the most that may come.
    const std::uint64_t budget = kMaxExpandedTotal - m_inflated;
    const std::uint64_t limit = std::min({kMaxPartSize, MaxExpandedSize(stat.comp_size), budget});
    std::string contents;
    contents.reserve(stat.size);
    constexpr std::size_t kChunk = 256 * 1024;
    const auto chunk = std::make_unique<char[]>(kChunk);
    zip_int64_t got = 0;
    while (contents.size() <= limit && (got = zip_fread(entry, chunk.get(), kChunk)) > 0)
        contents.append(chunk.get(), static_cast<std::size_t>(got));
    // Reading to the end makes libzip check the entry's CRC.
    const std::string text = got < 0 ? zipErrorText(zip_file_get_error(entry)) : std::string();
    zip_fclose(entry);
    m_inflated += contents.size();
    if (contents.size() > limit) {
        if (contents.size() > budget) refuseTotal();
        if (contents.size() > kMaxPartSize) Refuse(kErrorTooLarge, "Der Dokumentteil " + name + " ist zu groß.");
        refuseExpansion(name);
    }
    if (got < 0) refuseDamaged(name + ": " + text);
    if (contents.size() != stat.size) refuseDamaged(name);
    return contents;
}

void ZipPackage::saveReplacing(const std::string& name, std::string_view contents)
{
    saveReplacing({{name, std::string(contents)}});
}

void ZipPackage::saveReplacing(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string bytes;
    {
        Archive archive(m_bytes);
        for (const auto& [name, contents] : entries) {
            const zip_int64_t index = zip_name_locate(archive.zip(), name.c_str(), ZIP_FL_NOCASE);
            if (index < 0) refuseDamaged(name);
            zip_source_t* source = zip_source_buffer(archive.zip(), contents.data(), contents.size(), 0);
            if (!source) Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: kein Speicher.");
            const auto entry = static_cast<zip_uint64_t>(index);
            if (zip_file_replace(archive.zip(), entry, source, ZIP_FL_ENC_UTF_8) != 0) {
                zip_source_free(source);
                Refuse(kErrorSaveFailed,
                       "Das Dokument kann nicht gespeichert werden: " + zipErrorText(zip_get_error(archive.zip())));
            }
            zip_set_file_compression(archive.zip(), entry, ZIP_CM_DEFLATE, 0);
        }
        bytes = archive.closeToBytes();
    }

    SaveDocumentFile(m_path, m_bytes, m_identity, bytes);
    m_bytes = std::move(bytes);
}

}  // namespace tarnwick::word
