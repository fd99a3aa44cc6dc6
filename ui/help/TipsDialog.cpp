#include "ui/help/TipsDialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadialGradient>
#include <QVBoxLayout>

#include "settings/TipSettings.h"
#include "ui/common/EngineText.h"
#include "ui/common/ExternalText.h"
#include "ui/common/ProgramFiles.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/TipOfTheDay.h"

namespace tarnwick::ui {
namespace {

// A light bulb, the usual picture of a tip.
QPixmap BulbPicture()
{
    const qreal ratio = 2.0;  // sharp on high-density screens as well
    QPixmap pixmap(QSize(48, 56) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient glass(QPointF(20, 16), 22);
    glass.setColorAt(0, QColor(255, 255, 220));
    glass.setColorAt(0.6, QColor(255, 226, 90));
    glass.setColorAt(1, QColor(230, 170, 20));
    QPainterPath bulb;
    bulb.addEllipse(QPointF(24, 20), 16, 16);
    QPainterPath neck;
    neck.moveTo(15, 30);
    neck.lineTo(33, 30);
    neck.lineTo(30, 40);
    neck.lineTo(18, 40);
    neck.closeSubpath();
    painter.setPen(QPen(QColor(150, 110, 10), 1.2));
    painter.setBrush(glass);
    painter.drawPath(bulb.united(neck));

    painter.setPen(QPen(QColor(190, 120, 0), 1.2));
    painter.drawLine(QPointF(21, 40), QPointF(21, 26));
    painter.drawLine(QPointF(27, 40), QPointF(27, 26));
    painter.drawPolyline(QPolygonF({QPointF(21, 26), QPointF(23, 23), QPointF(25, 26), QPointF(27, 23)}));

    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(QColor(170, 170, 175));
    for (int ring = 0; ring < 3; ++ring) painter.drawRoundedRect(QRectF(17.5, 40.5 + ring * 4, 13, 4), 1.5, 1.5);
    painter.setBrush(QColor(90, 90, 90));
    painter.drawEllipse(QRectF(21, 52, 6, 3));
    return pixmap;
}

}  // namespace

TipsDialog::TipsDialog(settings::ProfileStore& store, const std::string& tipsPath, QWidget* parent)
    : QDialog(parent), m_tips(std::make_unique<TipOfTheDay>(store, tipsPath))
{
    setObjectName(QStringLiteral("TipsDialog"));
    setWindowTitle(qs(text::help::kTipsTitle));

    // The white area: the picture on a grey strip, the heading and the tip.
    auto* area = new QFrame(this);
    area->setObjectName(QStringLiteral("tipArea"));
    area->setFrameShape(QFrame::Panel);
    area->setFrameShadow(QFrame::Sunken);
    area->setAutoFillBackground(true);
    QPalette white = area->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    area->setPalette(white);

    auto* strip = new QLabel(area);
    strip->setObjectName(QStringLiteral("tipPicture"));
    strip->setPixmap(BulbPicture());
    strip->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    strip->setContentsMargins(10, 12, 10, 10);
    strip->setAutoFillBackground(true);
    QPalette grey = strip->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    strip->setPalette(grey);

    auto* heading = new QLabel(qs(text::help::kTipsHeading), area);
    heading->setObjectName(QStringLiteral("tipHeading"));
    QFont large = heading->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.4);
    heading->setFont(large);
    auto* rule = new QFrame(area);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Plain);

    m_tip = new QLabel(area);
    m_tip->setObjectName(QStringLiteral("tipText"));
    m_tip->setWordWrap(true);
    m_tip->setTextFormat(Qt::PlainText);
    m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tip->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_tip->setMinimumSize(340, 110);

    auto* words = new QVBoxLayout;
    words->setContentsMargins(14, 12, 14, 12);
    words->setSpacing(8);
    words->addWidget(heading);
    words->addWidget(rule);
    words->addWidget(m_tip, 1);
    auto* areaLayout = new QHBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(0);
    areaLayout->addWidget(strip);
    areaLayout->addLayout(words, 1);

    m_startUp = new QCheckBox(qs(text::help::kTipsAtStartUp), this);
    m_startUp->setObjectName(QStringLiteral("tipsAtStartUp"));
    m_startUp->setChecked(m_tips->showAtStartUp());
    m_next = new QPushButton(qs(text::help::kNextTip), this);
    m_next->setObjectName(QStringLiteral("nextTip"));
    m_next->setAutoDefault(false);
    m_close = new QPushButton(qs(text::help::kCloseTips), this);
    m_close->setObjectName(QStringLiteral("closeTips"));
    m_close->setDefault(true);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_startUp);
    bottom->addStretch();
    bottom->addWidget(m_next);
    bottom->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(area, 1);
    layout->addLayout(bottom);

    connect(m_next, &QPushButton::clicked, this, &TipsDialog::nextTip);
    connect(m_close, &QPushButton::clicked, this, &TipsDialog::closeTips);
    showTip();
}

// The file position is written here, when the dialog goes.
TipsDialog::~TipsDialog() = default;

void TipsDialog::showTip()
{
    m_tip->setText(DecodeExternalText(QByteArray::fromStdString(m_tips->tip())));
    m_next->setEnabled(m_tips->hasTips());
}

void TipsDialog::nextTip()
{
    m_tips->nextTip();
    showTip();
}

void TipsDialog::closeTips()
{
    m_tips->close(m_startUp->isChecked());
    accept();
}

std::string TipsFilePath(const std::string& programDirectory)
{
    if (auto found = FindProgramFile(programDirectory, text::help::kTipsFileName)) return *found;
    return programDirectory + "/" + text::help::kTipsFileName;
}

void ShowTips(QWidget* parent, settings::ProfileStore& store, const std::string& programDirectory)
{
    TipsDialog dialog(store, TipsFilePath(programDirectory), parent);
    dialog.exec();
}

void ShowTipsAtStartUp(QWidget* parent, settings::ProfileStore& store, const std::string& programDirectory)
{
    // Decided before the file is opened: a start without tips must not move
    // the user on to the next one unseen.
    if (settings::ReadTipSettings(store).startUp == 1) return;
    ShowTips(parent, store, programDirectory);
}

}  // namespace tarnwick::ui
