#include "ui/help/HelpWindow.h"

#include <QAction>
#include <QLabel>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/common/EngineText.h"
#include "ui/help/HelpLauncher.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(qs(text::help::kHelpWindowTitle));
    resize(820, 640);

    auto* bar = new QToolBar(this);
    m_back = bar->addAction(qs(text::help::kHelpBack));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(qs(text::help::kHelpForward));
    m_forward->setShortcut(QKeySequence::Forward);
    QAction* home = bar->addAction(qs(text::help::kHelpHome));

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("helpNote"));
    m_note->setWordWrap(true);
    // The user may want to copy an address shown here.
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->setMargin(6);
    m_note->setAutoFillBackground(true);
    m_note->setBackgroundRole(QPalette::ToolTipBase);
    m_note->setForegroundRole(QPalette::ToolTipText);
    m_note->hide();

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Every link goes through follow(): the browser itself would load a web
    // address as a page of its own and show nothing.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_note);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(home, &QAction::triggered, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? qs(text::help::kHelpWindowTitle) : title);
    });
}

void HelpWindow::showPage(const QString& page, const QString& note)
{
    m_browser->setSource(QUrl::fromLocalFile(page));
    // The page just shown is the first and only one, the start page of "Inhalt".
    m_browser->clearHistory();
    setNote(note);
}

void HelpWindow::setNote(const QString& note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

void HelpWindow::follow(const QUrl& link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (IsHelpPage(target)) {
        m_browser->setSource(target);
        return;
    }
    emit externalLinkActivated(target.isLocalFile() ? target.toLocalFile() : target.toString());
}

}  // namespace tarnwick::ui
