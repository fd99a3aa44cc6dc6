#pragma once
// The main search form: the controls of the search, replace and filter
// settings, bound to a SearchFormController. Every edit goes straight into
// the controller's fields; the controls show the fields again whenever the
// controller reports a change. Its size hint is all of its content, which
// the main window gives its row; it scrolls only in a window too low for it.
#include <QString>
#include <QWidget>

#include <map>
#include <memory>

#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormListener.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTimeEdit;

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

// The controls by their historical ids.
namespace FormControl {
inline constexpr int SearchText = 1000;
inline constexpr int ReplaceText = 1001;
inline constexpr int Subfolders = 1002;
inline constexpr int RemoveFileType = 1011;
inline constexpr int AllMustOccur = 1012;
inline constexpr int IgnoreIfAny = 1013;
inline constexpr int NameStrings = 1014;
inline constexpr int RemoveNameString = 1016;
inline constexpr int AllFileTypes = 1017;
inline constexpr int Browse = 1019;
inline constexpr int WholeWords = 1020;
inline constexpr int MatchCase = 1021;
inline constexpr int Directory = 1029;
inline constexpr int FileTypes = 1031;
inline constexpr int SearchFileNames = 1034;
inline constexpr int SearchContents = 1035;
inline constexpr int SizeFilter = 1037;
inline constexpr int MinSize = 1038;
inline constexpr int MaxSize = 1039;
inline constexpr int DateFilter = 1040;
inline constexpr int FromDate = 1043;
inline constexpr int ToDate = 1044;
inline constexpr int FromTime = 1046;
inline constexpr int ToTime = 1048;
inline constexpr int DateModified = 1049;
inline constexpr int DateCreated = 1050;
inline constexpr int DateAccessed = 1051;
inline constexpr int RegularExpression = 1069;
inline constexpr int SearchDirNames = 1085;
inline constexpr int SpecialCharacters = 1086;
inline constexpr int UseWord = 1087;
inline constexpr int WordAllTypes = 1088;
inline constexpr int WordAuto = 1089;
inline constexpr int Expand = 1098;
inline constexpr int SizeGroup = 1100;
inline constexpr int DateGroup = 1101;
inline constexpr int NameStringGroup = 1102;
inline constexpr int FileFrame = 1111;
inline constexpr int Hidden = 1132;
inline constexpr int ReadOnly = 1133;
inline constexpr int Archive = 1134;
inline constexpr int System = 1135;
inline constexpr int AlsoDirectories = 1151;
// Controls without a historical id.
inline constexpr int AbsoluteDates = 2001;  // "zwischen": the two dates
inline constexpr int RelativeDates = 2002;  // "in den letzten"
inline constexpr int RelativeCount = 2003;
inline constexpr int RelativeUnit = 2004;  // "Tagen", "Stunden"
inline constexpr int HiddenFilters = 2005;  // the line of active filters while collapsed
inline constexpr int FilesWithoutHits = 2006;  // "Dateien ohne Treffer auflisten"
inline constexpr int SearchInside = 2010;  // "In Archiven, komprimierten Dateien und PDF suchen"
inline constexpr int ReplacementCaptures = 2007;  // "Rückverweise im Ersetzungstext"
inline constexpr int PreserveCase = 2008;  // "Schreibweise der Treffer übernehmen"
}  // namespace FormControl

class SearchFormWidget : public QWidget {
    Q_OBJECT

public:
    // Binds to `controller`, which must outlive the widget.
    SearchFormWidget(SearchFormController& controller, const CodePage& codePage, QWidget* parent = nullptr);
    ~SearchFormWidget() override;

    SearchFormController& controller() const { return m_controller; }

    // A control by its id; nullptr for an unknown id.
    QWidget* control(int id) const;
    QComboBox* comboBox(FormCombo which) const;
    QScrollArea* scrollArea() const { return m_scroll; }

    // Shows the controller's fields, histories and enabled states.
    void refresh();

    QSize sizeHint() const override;
    // The commands of the form's context menu (the copy-as-command-line
    // commands of the main window).
    void addContextActions(const QList<QAction*>& actions);

signals:
    void busyChanged(bool busy);
    void expandedChanged(bool expanded);
    void statusTextChanged(const QString& text);
    void lastRunWasSearchChanged(bool value);
    void selectedReplaceEnded();
    void filesAboutToChange();
    void releaseViewerDocuments();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts the built controls into a scroll area filling the widget.
    void placeContent();
    void connectControls();
    void connectCombo(FormCombo which);
    void takeDates();
    void showCombo(FormCombo which);
    void showDates();
    void showEnabling();
    void showExpanded();
    void showHiddenFilters();
    void contentChanged();
    QString qt(const std::string& bytes) const;
    std::string bytes(const QString& text) const;

    // Receives the controller's reports and passes them on as signals.
    class Listener;

    SearchFormController& m_controller;
    const CodePage& m_codePage;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QWidget* m_topRow = nullptr;
    std::map<int, QWidget*> m_controls;
    std::map<FormCombo, QComboBox*> m_combos;
    std::unique_ptr<Listener> m_listener;
    bool m_refreshing = false;  // the controls are being set from the fields
};

}  // namespace tarnwick::ui
