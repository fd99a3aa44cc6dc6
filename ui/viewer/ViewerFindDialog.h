#pragma once
// The viewer's one modeless find and replace dialog, titled "Ersetzen", or
// "Suchen" for the find command, which hides the replacement field, its label
// and the two replace buttons. "Nur ganzes Wort" is disabled while "Regulärer
// Ausdruck" is marked. The buttons only report; the viewer acts.
#include <QDialog>

#include "ui/viewer/ViewerFind.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tarnwick::ui {

class ViewerFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit ViewerFindDialog(QWidget* parent = nullptr);

    // Fills the fields; `replace` shows the replace parts and the title "Ersetzen".
    void setOptions(const ViewerFindOptions& options, bool replace);
    ViewerFindOptions options() const;
    bool isReplaceMode() const { return m_replaceMode; }

    QLineEdit* findField() const { return m_find; }
    QLineEdit* replaceField() const { return m_replace; }
    QCheckBox* wholeWordBox() const { return m_wholeWord; }
    QCheckBox* regexBox() const { return m_regex; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QRadioButton* upButton() const { return m_up; }
    QRadioButton* downButton() const { return m_down; }
    QPushButton* findNextButton() const { return m_findNext; }
    QPushButton* replaceButton() const { return m_replaceOne; }
    QPushButton* replaceAllButton() const { return m_replaceAll; }

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();

private:
    void updateEnabling();

    bool m_replaceMode = true;
    // Taken from the form with the other options, shown nowhere in the dialog.
    bool m_captures = false;
    bool m_preserveCase = false;
    bool m_specialCharacters = false;
    QLabel* m_replaceLabel = nullptr;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_regex = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_down = nullptr;
    QPushButton* m_findNext = nullptr;
    QPushButton* m_replaceOne = nullptr;
    QPushButton* m_replaceAll = nullptr;
};

// "Gehe zu": line and column, both from 1.
class ViewerGoToDialog : public QDialog {
    Q_OBJECT

public:
    explicit ViewerGoToDialog(QWidget* parent = nullptr);
    int line() const;
    int column() const;

private:
    QSpinBox* m_line = nullptr;
    QSpinBox* m_column = nullptr;
};

}  // namespace tarnwick::ui
