#pragma once
// Builds the search form's controls and groups, without any binding: the
// widget (SearchFormWidget) connects them to the controller and shows its
// fields in them.
#include <map>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

namespace tarnwick::ui {

enum class FormCombo;

// What the building made; every control is a child of `content`.
struct SearchFormControls {
    QWidget* content = nullptr;  // without a parent: the caller takes it
    QWidget* topRow = nullptr;  // the groups above the frame "Datei"
    std::map<int, QWidget*> controls;  // by their ids (FormControl)
    std::map<FormCombo, QComboBox*> combos;
};

class SearchFormLayout {
public:
    SearchFormControls build();

private:
    QWidget* buildTopRow();
    QGroupBox* buildFileFrame();
    QGroupBox* buildFileTypes();
    QGroupBox* buildAttributes();
    QGroupBox* buildSize();
    QGroupBox* buildDate();
    QGroupBox* buildNameStrings();
    QComboBox* makeCombo(int id, FormCombo which, const char* name);
    QAbstractButton* makeFlag(int id, const char* text, bool pushLike, const char* name);
    QPushButton* makeButton(int id, const char* text, const char* name);
    void add(int id, QWidget* widget, const char* name);
    QWidget* control(int id) const { return m_made.controls.at(id); }

    SearchFormControls m_made;
};

}  // namespace tarnwick::ui
