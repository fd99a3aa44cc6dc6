#pragma once
// The page "Vorschau": the internal viewer with its tool bar. It shows one
// file as editable plain text with the opened hit selected, finds and
// replaces in it, goes to a line, prints and saves it byte-exactly (see
// ViewerCodec). Its commands are actions by their FrameCommand ids, which
// the main window's menu runs. The view stays disabled until a file is
// loaded. Reads its settings when created and writes them when destroyed.
// The page puts together ViewerActions (its commands), ViewerLineText (the
// editor's lines) and ViewerFindCommands (find and replace). UI thread only.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "settings/AppearanceSettings.h"
#include "ui/frame/MainFrameCommand.h"
#include "ui/viewer/ViewerAccess.h"
#include "ui/viewer/ViewerActions.h"
#include "ui/viewer/ViewerCodec.h"
#include "ui/viewer/ViewerFind.h"
#include "ui/viewer/ViewerFindDialog.h"
#include "ui/viewer/ViewerOpener.h"
#include "ui/viewer/ViewerPrinting.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QToolBar;

namespace tarnwick {
class CodePage;
namespace settings {
class ProfileStore;
}
}  // namespace tarnwick

namespace tarnwick::ui {

class ViewerEdit;
class ViewerFindCommands;
class ViewerLineText;

class ViewerPage : public QWidget, public ViewerAccess, private ViewerDocument {
    Q_OBJECT

public:
    // The command of the context menu only.
    static constexpr int kDeleteCommand = ViewerActions::kDeleteCommand;

    // `store` must outlive the page. `prompts` null: message boxes.
    ViewerPage(settings::ProfileStore& store, const CodePage& codePage, ViewerPrompts* prompts = nullptr,
               QWidget* parent = nullptr);
    ~ViewerPage() override;

    // ViewerAccess
    bool openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength, std::int64_t splitLength) override;
    bool openInnerForResult(const QString& name, const std::function<ViewerInnerRead()>& read, std::int64_t start,
                            std::int64_t length, std::int64_t splitLength) override;
    void markForReload() override;
    bool openFile(const QString& path) override;
    QString currentPath() const override;
    bool confirmClose() override;
    QWidget* page() override { return this; }

    // The action of a viewer command (tool bar, main menu); nullptr for others.
    QAction* action(FrameCommand id) const;
    QMenu* contextMenu() const;
    ViewerEdit* editor() const { return m_edit; }
    QToolBar* toolBar() const;
    ViewerFindDialog* findDialog() const;
    bool isLoaded() const { return m_opener.isLoaded(); }
    bool isFindDone() const;
    bool isReloadRequired() const { return m_opener.isReloadRequired(); }
    bool wordWrap() const;
    const ViewerFileFormat& fileFormat() const { return m_format; }
    // Not None while the file shown cannot be written back unchanged: it is
    // neither edited nor saved, and the note above the text says why.
    ReadOnlyReason readOnlyReason() const { return m_readOnly; }
    QLabel* readOnlyNote() const { return m_note; }
    const settings::FontSettings& fontSettings() const { return m_font; }

    // The editor's text with '\n' between lines; kept until the next edit.
    const QString& text() const;

    // A file of more lines than this is handed to the editor with several
    // lines per block (ViewerLineText). Applies to the next file loaded.
    void setLineJoinThreshold(qsizetype lines);
    bool hasJoinedLines() const;
    // The 0-based line and column of a character position of the text.
    std::pair<int, int> lineAndColumnOf(int position) const;

    // Where the find dialog takes its text and flags from each time it opens.
    void setFindDefaults(std::function<ViewerFindOptions()> provider);
    // The program's "Öffnen..." for the start of the tool bar.
    void setOpenAction(QAction* open);
    // Asks for the name of "Speichern unter"; empty for cancel. Default: the file dialog.
    void setSaveAsChooser(std::function<QString(const QString& current)> chooser) { m_chooseSaveAs = std::move(chooser); }

    // --- commands ---
    void showFindDialog(bool replace);
    void findNext();
    void replaceOnce();
    void replaceAll();
    void goTo(int line, int column);
    void setWordWrap(bool on);
    void applyFont(const QFont& font);
    // Ctrl+N: an empty document without a file, once unsaved changes are
    // settled; false when the user kept the current one.
    bool newDocument();
    // A document without a file is saved through "Speichern unter".
    bool save();
    bool saveAs();
    // Writes the text to `path` through a temporary file; false (the user has
    // been told) when it cannot be written.
    bool saveTo(const QString& path);
    // Lays the text out on `printer`'s pages with half-inch margins.
    void printDocument(QPrinter* printer);

signals:
    // 0-based line and column of the selection start.
    void caretMoved(int line, int column);
    // A file was loaded, or saved under a new name.
    void pathChanged(const QString& path);

private:
    // ViewerDocument
    bool isModified() const override;
    bool saveDocument() override { return save(); }
    void showText(const QString& path, ViewerText text) override;
    void selectBytes(std::int64_t byteStart, std::int64_t byteLength) override;
    void selectCodePoints(std::int64_t start, std::int64_t length) override;

    void connectCommands();
    void updateEnabling();
    void reportCaret();
    void select(qsizetype start, qsizetype end);
    void chooseFont();
    void askGoTo();
    void print();
    void printPreview();
    void printSetup();

    settings::ProfileStore& m_store;
    ViewerCodec m_codec;
    std::unique_ptr<ViewerPrompts> m_ownPrompts;
    ViewerPrompts& m_prompts;
    ViewerOpener m_opener;
    ViewerFileFormat m_format;
    ReadOnlyReason m_readOnly = ReadOnlyReason::None;

    ViewerEdit* m_edit = nullptr;
    QLabel* m_note = nullptr;
    std::unique_ptr<ViewerActions> m_actions;
    std::unique_ptr<ViewerLineText> m_lines;
    std::unique_ptr<ViewerFindCommands> m_find;
    std::unique_ptr<ViewerPrinting> m_printing;

    std::function<QString(const QString&)> m_chooseSaveAs;

    settings::FontSettings m_fontRead;
    settings::FontSettings m_font;
    std::uint32_t m_tabStops = 32;
};

}  // namespace tarnwick::ui
