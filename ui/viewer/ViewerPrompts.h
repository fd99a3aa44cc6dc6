#pragma once
// Everything the viewer asks or tells the user. The desktop program shows
// message boxes (MessageBoxViewerPrompts); tests script the answers.
#include <QString>

class QWidget;

namespace tarnwick::ui {

enum class SaveAnswer { Save, Discard, Cancel };

class ViewerPrompts {
public:
    virtual ~ViewerPrompts() = default;
    // "Die Datei ist sehr gross. ..." with Yes and No; true for Yes.
    virtual bool askOpenLargeFile() = 0;
    // Whether to save the changes of the file shown (Yes, No, Cancel).
    virtual SaveAnswer askSaveChanges(const QString& path) = 0;
    // A message box with a warning icon (files that cannot be read or saved).
    virtual void showError(const QString& text) = 0;
    // A message box with an information icon; an empty title is the program's.
    virtual void showInformation(const QString& /*title*/, const QString& /*text*/) {}
    // A message box with an exclamation icon (an expression that does not compile).
    virtual void showExclamation(const QString& /*text*/) {}
    virtual void beep() {}
};

class MessageBoxViewerPrompts final : public ViewerPrompts {
public:
    explicit MessageBoxViewerPrompts(QWidget* parent) : m_parent(parent) {}
    bool askOpenLargeFile() override;
    SaveAnswer askSaveChanges(const QString& path) override;
    void showError(const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;
    void showExclamation(const QString& text) override;
    void beep() override;

private:
    QWidget* m_parent;
};

}  // namespace tarnwick::ui
