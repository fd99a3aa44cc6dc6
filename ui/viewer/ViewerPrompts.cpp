#include "ui/viewer/ViewerPrompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

QString Title() { return QApplication::applicationDisplayName(); }

void Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title.isEmpty() ? Title() : title, text, QMessageBox::NoButton, parent);
    box.addButton(viewertext::Ok(), QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace

bool MessageBoxViewerPrompts::askOpenLargeFile()
{
    QMessageBox box(QMessageBox::Question, Title(), viewertext::LargeFile(), QMessageBox::NoButton, m_parent);
    QPushButton* yes = box.addButton(viewertext::Yes(), QMessageBox::YesRole);
    QPushButton* no = box.addButton(viewertext::No(), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

SaveAnswer MessageBoxViewerPrompts::askSaveChanges(const QString& path)
{
    const QString name = path.isEmpty() ? viewertext::Untitled() : QFileInfo(path).fileName();
    QMessageBox box(QMessageBox::Warning, Title(), viewertext::SaveChanges().arg(name), QMessageBox::NoButton, m_parent);
    QPushButton* yes = box.addButton(viewertext::Yes(), QMessageBox::YesRole);
    QPushButton* no = box.addButton(viewertext::No(), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(viewertext::Cancel(), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return SaveAnswer::Save;
    if (box.clickedButton() == no) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

void MessageBoxViewerPrompts::showError(const QString& text) { Show(m_parent, QMessageBox::Warning, {}, text); }

void MessageBoxViewerPrompts::showInformation(const QString& title, const QString& text)
{
    Show(m_parent, QMessageBox::Information, title, text);
}

void MessageBoxViewerPrompts::showExclamation(const QString& text) { Show(m_parent, QMessageBox::Warning, {}, text); }

void MessageBoxViewerPrompts::beep() { QApplication::beep(); }

}  // namespace tarnwick::ui
