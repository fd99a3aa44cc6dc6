#pragma once
// The program's own help window, for a desktop where no browser shows the
// help: the HTML pages in a text browser, with links between them, images,
// back, forward and the start page. A link that leads out of the help
// (IsHelpPage) is passed on through externalLinkActivated. A note above the
// page says why the help is shown here, or what became of such a link.
// UI thread only.
#include <QString>
#include <QUrl>
#include <QWidget>

class QAction;
class QLabel;
class QTextBrowser;

namespace tarnwick::ui {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `page` (a local file), which becomes the start page, and `note`.
    void showPage(const QString& page, const QString& note);
    void setNote(const QString& note);

    QTextBrowser* browser() const { return m_browser; }
    QLabel* note() const { return m_note; }

signals:
    // A file or an address outside the help.
    void externalLinkActivated(const QString& target);

private:
    void follow(const QUrl& link);

    QTextBrowser* m_browser = nullptr;
    QLabel* m_note = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
};

}  // namespace tarnwick::ui
