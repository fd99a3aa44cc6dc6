#pragma once
// "Ausdruck testen": the search text, the replacement and the options of
// the form tried on a sample text as the user types. Every hit is marked in
// the sample, the hit at the cursor lists its groups, the sample after the
// replace stands beside it, and a refused expression or replacement shows
// the message a run would give. "Übernehmen" writes the texts and options
// into the search form; "Schliessen" leaves the form as it was. The
// decisions are ExpressionTesterLogic's.
#include <QDialog>

#include <optional>
#include <vector>

#include "ui/expressiontester/ExpressionTesterLogic.h"
#include "ui/expressiontester/TextOffsets.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class SearchFormController;

class ExpressionTesterDialog : public QDialog {
    Q_OBJECT

public:
    ExpressionTesterDialog(SearchFormController& form, const TesterSample& sample, const CodePage& codePage,
                           QWidget* parent = nullptr);

    const ExpressionTesterLogic& logic() const { return m_logic; }
    QLineEdit* searchField() const { return m_search; }
    QLineEdit* replaceField() const { return m_replace; }
    // By index into TesterOptions().
    QCheckBox* optionBox(std::size_t index) const { return m_options.at(index); }
    QPlainTextEdit* sampleView() const { return m_sample; }
    QPlainTextEdit* replacedView() const { return m_replaced; }
    QTreeWidget* groupList() const { return m_groups; }
    QLabel* messageLabel() const { return m_message; }
    QPushButton* takeOverButton() const { return m_takeOver; }

private:
    void buildWidgets();
    void takeOver();
    void showTrial();
    void showMessage();
    void showMarks();
    void showGroups();
    void showErrorPosition();
    void sampleEdited();

    SearchFormController& m_form;
    const CodePage& m_codePage;
    ExpressionTesterLogic m_logic;
    // The sample as the engine gets it, and where its bytes lie in the view.
    std::optional<TextOffsets> m_sampleOffsets;
    QLineEdit* m_search = nullptr;
    QLineEdit* m_replace = nullptr;
    std::vector<QCheckBox*> m_options;
    QLabel* m_message = nullptr;
    QLabel* m_errorPosition = nullptr;  // the expression with a mark under the place of the error
    QLabel* m_count = nullptr;
    QPlainTextEdit* m_sample = nullptr;
    QPlainTextEdit* m_replaced = nullptr;
    QTreeWidget* m_groups = nullptr;
    QPushButton* m_takeOver = nullptr;
};

}  // namespace tarnwick::ui
