#pragma once
// "Gespeicherte Suchen": the list of saved searches with "Laden",
// "Umbenennen...", "Löschen" and "Schliessen". The changes go through the
// controller, which keeps the settings file; "Laden" takes the chosen search
// into the form and closes the dialog.
#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class SearchFormController;

class SavedSearchesDialog : public QDialog {
    Q_OBJECT

public:
    SavedSearchesDialog(SearchFormController& controller, const CodePage& codePage, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* loadButton() const { return m_load; }
    QPushButton* renameButton() const { return m_rename; }
    QPushButton* deleteButton() const { return m_delete; }
    // Asks for the new name of "Umbenennen..."; empty for cancel. Default: an input dialog.
    void setNameAsker(std::function<QString(const QString& current)> asker) { m_askName = std::move(asker); }

private:
    void fill();
    void updateButtons();
    int current() const;

    SearchFormController& m_controller;
    const CodePage& m_codePage;
    QListWidget* m_list = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_delete = nullptr;
    std::function<QString(const QString&)> m_askName;
};

}  // namespace tarnwick::ui
