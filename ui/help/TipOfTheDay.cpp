#include "ui/help/TipOfTheDay.h"

#include <sys/stat.h>

#include <array>

#include "settings/ProfileStore.h"
#include "settings/TipSettings.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {
namespace {

bool isSkipped(const std::string& line)
{
    return line.empty() || line.front() == ' ' || line.front() == '\t' || line.front() == ';';
}

// Cuts a too long line without splitting a UTF-8 sequence.
void cutToLength(std::string& line, std::size_t length)
{
    if (line.size() <= length) return;
    std::size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
    line.resize(end);
}

}  // namespace

std::string TipsTimeStamp(const std::tm& time)
{
    // asctime's own names, whatever locale the program runs in.
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "???";
    const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", day, month, time.tm_mday, time.tm_hour, time.tm_min,
                  time.tm_sec, 1900 + time.tm_year);
    return text;
}

std::string TipsFileTimeStamp(std::time_t modified)
{
    std::tm local{};
    if (localtime_r(&modified, &local) == nullptr) return {};
    return TipsTimeStamp(local);
}

TipOfTheDay::TipOfTheDay(settings::ProfileStore& store, const std::string& tipsPath) : m_store(store)
{
    const settings::TipSettings stored = settings::ReadTipSettings(m_store);
    m_showAtStartUp = stored.startUp != 1;

    m_file = std::fopen(tipsPath.c_str(), "rb");
    struct stat status {};
    if (m_file != nullptr && (fstat(fileno(m_file), &status) != 0 || !S_ISREG(status.st_mode))) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (m_file == nullptr) {
        m_tip = text::help::kTipsFileAbsent;
        return;
    }

    // A changed file starts again at its first tip.
    long offset = static_cast<long>(stored.filePos);
    const std::string stamp = TipsFileTimeStamp(status.st_mtime);
    if (stamp != stored.timeStamp) {
        offset = 0;
        IgnoreFailure(settings::WriteTipTimeStamp(m_store, stamp));
    }
    if (std::fseek(m_file, offset, SEEK_SET) != 0) {
        fail(text::help::kTipsFileUnreadable);
        return;
    }
    m_hasTips = true;
    readNextTip();
}

TipOfTheDay::~TipOfTheDay()
{
    if (m_file == nullptr) return;
    const long position = std::ftell(m_file);
    if (position >= 0) IgnoreFailure(settings::WriteTipFilePos(m_store, static_cast<std::uint32_t>(position)));
    std::fclose(m_file);
}

void TipOfTheDay::nextTip()
{
    if (m_hasTips) readNextTip();
}

void TipOfTheDay::close(bool showAtStartUp) { IgnoreFailure(settings::WriteTipStartUp(m_store, showAtStartUp ? 0 : 1)); }

TipOfTheDay::Line TipOfTheDay::readLine(std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::getc(m_file)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF) {
        if (std::ferror(m_file)) return Line::Error;
        if (line.empty()) return Line::End;
    }
    // A file written on Windows ends its lines with CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    cutToLength(line, kMaxTipLength);
    return Line::Read;
}

void TipOfTheDay::readNextTip()
{
    std::string line;
    // The second time the end is reached, one whole pass has found no tip.
    for (int ends = 0; ends < 2;) {
        switch (readLine(line)) {
        case Line::Read:
            if (isSkipped(line)) continue;
            m_tip = line;
            return;
        case Line::End:
            ++ends;
            if (std::fseek(m_file, 0, SEEK_SET) != 0) {
                fail(text::help::kTipsFileUnreadable);
                return;
            }
            break;
        case Line::Error: fail(text::help::kTipsFileUnreadable); return;
        }
    }
    fail(text::help::kTipsFileWithoutTips);
}

void TipOfTheDay::fail(const char* message)
{
    m_tip = message;
    m_hasTips = false;
}

}  // namespace tarnwick::ui
