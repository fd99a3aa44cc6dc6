#pragma once
// "Vorschau der Ersetzungen": the files a replace run would change, each
// with its count and new name, and the selected file's backup copy and
// changed lines, old on red and new on green, the differing words darker.
// "Ersetzen" accepts (the caller starts the real
// run), "Abbrechen" rejects. A file's lines are laid out only when it is
// selected, so a long list opens at once.
#include <QDialog>

#include <memory>

#include "ui/replacepreview/ReplacePreviewCollector.h"

class QLabel;
class QListView;
class QPushButton;
class QTextEdit;

namespace tarnwick::ui {

class ReplacePreviewDialog : public QDialog {
    Q_OBJECT

public:
    ReplacePreviewDialog(std::shared_ptr<const ReplacePreviewCollector> preview, QWidget* parent = nullptr);

    QListView* fileList() const { return m_files; }
    QTextEdit* changesView() const { return m_changes; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void showEntry(int row);

    std::shared_ptr<const ReplacePreviewCollector> m_preview;
    QLabel* m_summary = nullptr;
    QListView* m_files = nullptr;
    QTextEdit* m_changes = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace tarnwick::ui
