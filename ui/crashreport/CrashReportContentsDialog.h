#pragma once
// "Fehlerbericht": the files of the crash report with their description,
// type and size; selecting one shows its path, description and contents (as
// text, or as a hex dump when it is not text), double-clicking opens it with
// the desktop's application for it.
#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

#include "crash/ReportFiles.h"

class QLabel;
class QPlainTextEdit;
class QTreeWidget;

namespace tarnwick::ui {

// Opens a file with the desktop's application; tests record the call instead.
using FileOpener = std::function<void(const QString& path)>;
FileOpener DesktopFileOpener();

// The texts of one row of the list.
struct ContentsRow {
    QString name;
    QString description;
    QString type;
    QString size;  // "%d KB", rounded up
};
ContentsRow ContentsRowFor(const crash::ReportFile& file);

// The contents field's text for a file: its first bytes unchanged when they
// are text, else their hex dump with one character per byte.
QString ContentsTextFor(const QString& path);

class CrashReportContentsDialog : public QDialog {
    Q_OBJECT

public:
    CrashReportContentsDialog(std::vector<crash::ReportFile> files, FileOpener opener, QWidget* parent = nullptr);

    QTreeWidget* fileList() const { return m_list; }
    QLabel* pathLabel() const { return m_path; }
    QLabel* descriptionLabel() const { return m_description; }
    QPlainTextEdit* contentsField() const { return m_contents; }
    void selectFile(int row);

private:
    void showFile(int row);
    void openFile(int row);

    std::vector<crash::ReportFile> m_files;
    FileOpener m_opener;
    QTreeWidget* m_list = nullptr;
    QLabel* m_path = nullptr;
    QLabel* m_description = nullptr;
    QPlainTextEdit* m_contents = nullptr;
};

}  // namespace tarnwick::ui
