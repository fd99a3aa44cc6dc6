#pragma once
// The search form's questions as the desktop shows them: message boxes,
// the warning with opt-out, "Dateiname wandeln" and the directory chooser;
// and the conversion between the form's texts (bytes of the code page)
// and what the widgets show.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

#include "ui/searchform/SearchFormPrompts.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

QString FormTextToQt(const std::string& bytes, const CodePage& codePage);
std::string QtToFormText(const QString& text, const CodePage& codePage);

class DialogFormPrompts final : public FormPrompts {
public:
    // `parent` owns the dialogs while they are shown; it may go first.
    DialogFormPrompts(QWidget* parent, const CodePage& codePage);

    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(std::string_view text) override;
    void showTitledMessage(std::string_view title, std::string_view text) override;
    bool askOkCancel(std::string_view text) override;
    HinweisAnswer showHinweis(std::string_view text) override;
    std::optional<RenameChoice> askRenameChoice() override;
    std::optional<std::string> chooseDirectory(const std::string& current) override;

private:
    QPointer<QWidget> m_parent;
    const CodePage& m_codePage;
};

}  // namespace tarnwick::ui
