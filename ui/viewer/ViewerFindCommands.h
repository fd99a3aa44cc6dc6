#pragma once
// The viewer page's find and replace: the find dialog, "Weitersuchen",
// "Ersetzen" and "Alle ersetzen" on the editor's text, and the messages when
// nothing is found. The matching itself is ViewerFinder's. UI thread only.
#include <QPointer>
#include <functional>

#include "ui/viewer/ViewerCodec.h"
#include "ui/viewer/ViewerFind.h"
#include "ui/viewer/ViewerFindDialog.h"

class QWidget;

namespace tarnwick::ui {

class ViewerEdit;
class ViewerLineText;
class ViewerPrompts;

class ViewerFindCommands {
public:
    // Everything but `onFound` must outlive this object; `readOnly` is the
    // page's, read at each replace. `onFound` runs after each find.
    ViewerFindCommands(QWidget& page, ViewerEdit& edit, const ViewerLineText& lines, ViewerPrompts& prompts,
                       const ReadOnlyReason& readOnly, std::function<void()> onFound);
    ~ViewerFindCommands();
    ViewerFindCommands(const ViewerFindCommands&) = delete;
    ViewerFindCommands& operator=(const ViewerFindCommands&) = delete;

    // Where the find dialog takes its text and flags from each time it opens.
    void setDefaults(std::function<ViewerFindOptions()> provider) { m_defaults = std::move(provider); }
    ViewerFindDialog* dialog() const { return m_dialog; }
    // A find has been made since the page was created.
    bool isFindDone() const { return m_findDone; }

    void showDialog(bool replace);
    void findNext();
    void replaceOnce();
    void replaceAll();

private:
    void showNotFound(const ViewerFindOptions& options);
    // The options of the open dialog, else those of the last find.
    ViewerFindOptions currentOptions() const;
    bool refuseReadOnly();

    QWidget& m_page;
    ViewerEdit& m_edit;
    const ViewerLineText& m_lines;
    ViewerPrompts& m_prompts;
    const ReadOnlyReason& m_readOnly;
    std::function<void()> m_onFound;
    ViewerFinder m_finder;
    QPointer<ViewerFindDialog> m_dialog;
    std::function<ViewerFindOptions()> m_defaults;
    bool m_findDone = false;
    bool m_lastDown = true;
};

}  // namespace tarnwick::ui
