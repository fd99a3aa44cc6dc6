#pragma once
// Prints the viewer's text: the printer, made on first use and kept so that
// a page setup holds for the prints after it, the print, preview and page
// setup dialogs, and the text laid out on the pages.
#include <memory>

class QPlainTextEdit;
class QPrinter;
class QWidget;

namespace tarnwick::ui {

class ViewerPrinting {
public:
    // `edit` shows the text and must outlive this.
    explicit ViewerPrinting(const QPlainTextEdit& edit);
    ~ViewerPrinting();
    ViewerPrinting(const ViewerPrinting&) = delete;
    ViewerPrinting& operator=(const ViewerPrinting&) = delete;

    // Each dialog is modal over `parent`.
    void print(QWidget* parent);
    void preview(QWidget* parent);
    void setUpPage(QWidget* parent);
    // Lays the text out on `target`'s pages with half-inch margins, in the
    // edit's font and wrapped as the edit wraps it.
    void printDocument(QPrinter* target) const;

private:
    QPrinter& printer();

    const QPlainTextEdit& m_edit;
    std::unique_ptr<QPrinter> m_printer;
};

}  // namespace tarnwick::ui
