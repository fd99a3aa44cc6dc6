#include "ui/searchform/SearchFormDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/CodePage.h"
#include "ui/dirchooser/DirectoryChooserDialog.h"
#include "ui/searchform/HinweisDialog.h"
#include "ui/searchform/RenameDialog.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString FormTextToQt(const std::string& bytes, const CodePage& codePage)
{
    const std::string utf8 = codePage.ansiToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string QtToFormText(const QString& text, const CodePage& codePage)
{
    const QByteArray utf8 = text.toUtf8();
    return codePage.utf8ToAnsi(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

DialogFormPrompts::DialogFormPrompts(QWidget* parent, const CodePage& codePage) : m_parent(parent), m_codePage(codePage) {}

void DialogFormPrompts::showMessage(std::string_view text)
{
    showTitledMessage(QApplication::applicationDisplayName().toStdString(), text);
}

void DialogFormPrompts::showTitledMessage(std::string_view title, std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, Utf8(title), Utf8(text), QMessageBox::NoButton, m_parent);
    box.addButton(Utf8(formtext::kOk), QMessageBox::AcceptRole);
    box.exec();
}

bool DialogFormPrompts::askOkCancel(std::string_view text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), Utf8(text), QMessageBox::NoButton, m_parent);
    QPushButton* ok = box.addButton(Utf8(formtext::kOk), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(Utf8(formtext::kCancel), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok;
}

HinweisAnswer DialogFormPrompts::showHinweis(std::string_view text)
{
    HinweisDialog dialog(Utf8(text), m_parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    return {ok, dialog.dontShowAgain()};
}

std::optional<RenameChoice> DialogFormPrompts::askRenameChoice()
{
    RenameDialog dialog(m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

std::optional<std::string> DialogFormPrompts::chooseDirectory(const std::string& current)
{
    const std::optional<QString> chosen = ChooseDirectory(m_parent, FormTextToQt(current, m_codePage));
    if (!chosen) return std::nullopt;
    return QtToFormText(*chosen, m_codePage);
}

}  // namespace tarnwick::ui
