#pragma once
// The tips of the day: one tip at a time from the tips file, going on where
// the last showing stopped (section `Tip`: FilePos), starting again at the
// first tip when the file has changed (TimeStamp), and remembering whether
// the tips open at start-up (StartUp). Plain C++: the dialog only shows
// what this holds. User interface thread only.
//
// The file holds one tip per line; lines beginning with a space, a tab or
// ';' and empty lines are skipped; a line longer than kMaxTipLength bytes is
// shown cut to that length. After the last tip comes the first again.
#include <cstdio>
#include <ctime>
#include <string>

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

// A time as the file's stamp is stored: the 24 characters of the C
// library's asctime with English names, without the line end, e.g.
// "Wed Dec  9 12:42:00 2026".
std::string TipsTimeStamp(const std::tm& time);
// The stamp of a modification time, in local time.
std::string TipsFileTimeStamp(std::time_t modified);

class TipOfTheDay {
public:
    static constexpr std::size_t kMaxTipLength = 999;

    // Opens the file and reads the first tip to show (see tip()).
    TipOfTheDay(settings::ProfileStore& store, const std::string& tipsPath);
    // Writes where the next tip begins (FilePos) when the file was open.
    ~TipOfTheDay();
    TipOfTheDay(const TipOfTheDay&) = delete;
    TipOfTheDay& operator=(const TipOfTheDay&) = delete;

    // Whether "&Tipps beim Starten anzeigen" starts marked.
    bool showAtStartUp() const { return m_showAtStartUp; }
    // The tip without its line end, or the message why there is none (the
    // file's bytes, or one of the program's UTF-8 texts).
    const std::string& tip() const { return m_tip; }
    // Whether "&Nächster Tipp" can find another tip.
    bool hasTips() const { return m_hasTips; }

    // "&Nächster Tipp".
    void nextTip();
    // "&Schließen": StartUp becomes 0 when the tips are to show at start-up, else 1.
    void close(bool showAtStartUp);

private:
    enum class Line { Read, End, Error };
    Line readLine(std::string& line);
    void readNextTip();
    void fail(const char* message);

    settings::ProfileStore& m_store;
    std::FILE* m_file = nullptr;
    bool m_showAtStartUp = true;
    bool m_hasTips = false;
    std::string m_tip;
};

}  // namespace tarnwick::ui
