#include "ui/viewer/ViewerFont.h"

#include <QFontInfo>
#include <algorithm>
#include <cmath>

namespace tarnwick::ui {
namespace {

// Pitch bits of a logical font.
constexpr int kFixedPitch = 1;
constexpr int kVariablePitch = 2;
// Family bits.
constexpr int kRoman = 0x10;
constexpr int kSwiss = 0x20;
constexpr int kModern = 0x30;
constexpr int kScript = 0x40;
constexpr int kDecorative = 0x50;

QFont::StyleHint HintOf(int pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case kRoman: return QFont::Serif;
    case kSwiss: return QFont::SansSerif;
    case kModern: return QFont::TypeWriter;
    case kScript: return QFont::Cursive;
    case kDecorative: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

}  // namespace

QFont FontFromSettings(const settings::FontSettings& stored)
{
    QFont font(QString::fromUtf8(stored.faceName.data(), static_cast<qsizetype>(stored.faceName.size())));
    // A negative height is the character height, a positive one the cell
    // height, which is about a fifth taller; at 96 dpi a logical unit is a pixel.
    const int height = stored.height < 0 ? -stored.height : static_cast<int>(std::lround(stored.height * 0.8));
    font.setPixelSize(std::clamp(height, 1, 1000));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(stored.weight == 0 ? 400 : stored.weight, 1, 1000)));
    font.setItalic(stored.italic != 0);
    font.setUnderline(stored.underline != 0);
    font.setStyleHint(HintOf(stored.pitchAndFamily));
    // A fixed-pitch request would make Qt prefer another family over the named one.
    return font;
}

settings::FontSettings SettingsFromFont(const QFont& font, const settings::FontSettings& previous)
{
    settings::FontSettings stored = previous;
    int pixels = font.pixelSize();
    if (pixels <= 0) pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    stored.height = -std::max(pixels, 1);
    stored.weight = static_cast<int>(font.weight());
    stored.italic = font.italic() ? 1 : 0;
    stored.underline = font.underline() ? 1 : 0;
    const bool fixed = QFontInfo(font).fixedPitch();
    stored.pitchAndFamily = (previous.pitchAndFamily & 0xF0) | (fixed ? kFixedPitch : kVariablePitch);
    // At most 31 characters, as the face name has always been kept.
    stored.faceName = font.family().left(31).toStdString();
    return stored;
}

}  // namespace tarnwick::ui
