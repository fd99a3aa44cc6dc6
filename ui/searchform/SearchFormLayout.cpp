// Building the search form's controls and groups. The layout keeps the
// order of the form: what to search for, what to replace it with, where,
// the options, and below them the frame "Datei" with the filters; the size,
// date and file-name-string groups are the ones that collapse.
#include "ui/searchform/SearchFormLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/searchform/SearchFormTexts.h"
#include "ui/searchform/SearchFormWidget.h"

namespace tarnwick::ui {
namespace {

namespace T = formtext;
namespace C = FormControl;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QGroupBox* MakeGroup(const char* title, const char* name)
{
    auto* group = new QGroupBox(Utf8(title));
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

// Groups are packed more tightly than the style's default, so that the
// expanded form fits its 400-pixel row.
template <typename Layout>
Layout* Tight(Layout* layout, int spacing = 4)
{
    layout->setContentsMargins(5, 3, 5, 4);
    layout->setSpacing(spacing);
    return layout;
}

QLabel* MakeLabel(const char* text, QWidget* parent = nullptr) { return new QLabel(Utf8(text), parent); }

}  // namespace

void SearchFormLayout::add(int id, QWidget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    m_made.controls[id] = widget;
}

QComboBox* SearchFormLayout::makeCombo(int id, FormCombo which, const char* name)
{
    auto* box = new QComboBox;
    box->setEditable(true);
    // The history follows the form's own rules, not the box's.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    box->setMaxVisibleItems(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    box->setCompleter(nullptr);
    add(id, box, name);
    m_made.combos[which] = box;
    return box;
}

QAbstractButton* SearchFormLayout::makeFlag(int id, const char* text, bool pushLike, const char* name)
{
    QAbstractButton* button = nullptr;
    if (pushLike) {
        auto* push = new QPushButton(Utf8(text));
        push->setCheckable(true);
        button = push;
    } else {
        button = new QCheckBox(Utf8(text));
    }
    add(id, button, name);
    return button;
}

QPushButton* SearchFormLayout::makeButton(int id, const char* text, const char* name)
{
    auto* button = new QPushButton(Utf8(text));
    button->setAutoDefault(false);
    add(id, button, name);
    return button;
}

SearchFormControls SearchFormLayout::build()
{
    m_made = {};
    m_made.content = new QWidget;
    m_made.content->setObjectName(QStringLiteral("searchFormContent"));
    // Titles sit in the frame's top line, as on a dialog, which keeps the
    // stacked groups low enough for the form's row.
    m_made.content->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 7px; padding-top: 4px; }"
                       "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px;"
                       "  padding: 0px 3px; }"));
    auto* layout = new QVBoxLayout(m_made.content);
    layout->setContentsMargins(4, 1, 4, 2);
    layout->setSpacing(1);
    m_made.topRow = buildTopRow();
    layout->addWidget(m_made.topRow);
    layout->addWidget(buildFileFrame());
    layout->addStretch(1);
    return std::move(m_made);
}

QWidget* SearchFormLayout::buildTopRow()
{
    auto* row = new QWidget;
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    QGroupBox* searchFor = MakeGroup(T::kSearchFor, "searchForGroup");
    auto* searchLayout = Tight(new QHBoxLayout(searchFor));
    searchLayout->addWidget(makeCombo(C::SearchText, FormCombo::SearchText, "searchText"), 1);
    searchLayout->addWidget(makeFlag(C::RegularExpression, T::kRegularExpression, true, "regularExpression"));
    // Right above "Rückverweise im Ersetzungstext": a third button in the
    // replacement's row would not fit the smallest window, nor a second row
    // the expanded form's height.
    searchLayout->addWidget(makeFlag(C::PreserveCase, T::kPreserveCase, true, "preserveCase"));

    QGroupBox* replaceWith = MakeGroup(T::kReplaceWith, "replaceWithGroup");
    auto* replaceLayout = Tight(new QHBoxLayout(replaceWith));
    replaceLayout->addWidget(makeCombo(C::ReplaceText, FormCombo::ReplaceText, "replaceText"), 1);
    replaceLayout->addWidget(makeFlag(C::SpecialCharacters, T::kSpecialCharacters, true, "specialCharacters"));
    replaceLayout->addWidget(makeFlag(C::ReplacementCaptures, T::kReplacementCaptures, true, "replacementCaptures"));

    QGroupBox* searchIn = MakeGroup(T::kSearchIn, "searchInGroup");
    auto* inLayout = Tight(new QHBoxLayout(searchIn));
    inLayout->addWidget(makeCombo(C::Directory, FormCombo::Directory, "directory"), 1);
    inLayout->addWidget(makeButton(C::Browse, T::kBrowse, "browse"));
    inLayout->addWidget(makeFlag(C::Subfolders, T::kSubfolders, false, "subfolders"));

    // The two push-like buttons of the first rows are as wide as each other.
    const int toggleWidth =
        std::max(control(C::RegularExpression)->sizeHint().width(), control(C::SpecialCharacters)->sizeHint().width());
    control(C::RegularExpression)->setMinimumWidth(toggleWidth);
    control(C::SpecialCharacters)->setMinimumWidth(toggleWidth);
    const int secondWidth =
        std::max(control(C::PreserveCase)->sizeHint().width(), control(C::ReplacementCaptures)->sizeHint().width());
    control(C::PreserveCase)->setMinimumWidth(secondWidth);
    control(C::ReplacementCaptures)->setMinimumWidth(secondWidth);

    QGroupBox* options = MakeGroup(T::kOptions, "optionsGroup");
    auto* optionsLayout = Tight(new QGridLayout(options), 2);
    optionsLayout->addWidget(makeFlag(C::MatchCase, T::kMatchCase, false, "matchCase"), 0, 0, 1, 2);
    optionsLayout->addWidget(makeFlag(C::SearchContents, T::kSearchContents, false, "searchContents"), 1, 0, 1, 2);
    optionsLayout->addWidget(makeFlag(C::SearchDirNames, T::kSearchDirNames, false, "searchDirNames"), 2, 0, 1, 2);
    optionsLayout->addWidget(makeFlag(C::SearchFileNames, T::kSearchFileNames, false, "searchFileNames"), 3, 0, 1, 2);
    optionsLayout->addWidget(makeFlag(C::WholeWords, T::kWholeWords, false, "wholeWords"), 4, 0);
    optionsLayout->addWidget(makeButton(C::Expand, T::kExtended, "expand"), 4, 1, Qt::AlignRight);
    optionsLayout->setRowStretch(5, 1);

    // Under the main fields: what the collapsed form filters without showing it.
    auto* hidden = new QLabel;
    hidden->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    hidden->setCursor(Qt::PointingHandCursor);
    hidden->setStyleSheet(QStringLiteral("QLabel { color: palette(link); padding-left: 6px; }"));
    hidden->setTextFormat(Qt::PlainText);
    hidden->setToolTip(Utf8(T::kHiddenFiltersTip));
    add(C::HiddenFilters, hidden, "hiddenFilters");

    grid->addWidget(searchFor, 0, 0);
    grid->addWidget(replaceWith, 1, 0);
    grid->addWidget(searchIn, 2, 0);
    grid->addWidget(options, 0, 1, 3, 1);
    grid->addWidget(hidden, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return row;
}

QGroupBox* SearchFormLayout::buildFileFrame()
{
    QGroupBox* frame = MakeGroup(T::kFileFrame, "fileFrame");
    m_made.controls[C::FileFrame] = frame;
    auto* grid = Tight(new QGridLayout(frame), 2);
    grid->setHorizontalSpacing(6);
    grid->addWidget(buildFileTypes(), 0, 0);
    grid->addWidget(buildAttributes(), 0, 1);
    grid->addWidget(buildDate(), 1, 0);
    grid->addWidget(buildSize(), 1, 1);
    grid->addWidget(buildNameStrings(), 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return frame;
}

QGroupBox* SearchFormLayout::buildFileTypes()
{
    QGroupBox* group = MakeGroup(T::kFileTypes, "fileTypesGroup");
    auto* grid = Tight(new QGridLayout(group));
    grid->addWidget(makeFlag(C::AllFileTypes, T::kAllTypes, false, "allFileTypes"), 0, 0);
    grid->addWidget(makeCombo(C::FileTypes, FormCombo::FileTypes, "fileTypes"), 0, 1);
    grid->addWidget(makeButton(C::RemoveFileType, T::kRemove, "removeFileType"), 0, 2);

    auto* word = new QHBoxLayout;
    word->setSpacing(8);
    word->addWidget(makeFlag(C::UseWord, T::kUseWord, true, "useWord"));
    auto* allTypes = new QRadioButton(Utf8(T::kWordAllTypes));
    auto* automatic = new QRadioButton(Utf8(T::kWordAuto));
    add(C::WordAllTypes, allTypes, "wordAllTypes");
    add(C::WordAuto, automatic, "wordAuto");
    word->addWidget(allTypes);
    word->addWidget(automatic);
    word->addStretch(1);
    // Beside the other choice about contents, so the frame keeps its height.
    word->addWidget(makeFlag(C::FilesWithoutHits, T::kFilesWithoutHits, false, "filesWithoutHits"));
    grid->addLayout(word, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox* SearchFormLayout::buildAttributes()
{
    QGroupBox* group = MakeGroup(T::kAttributes, "attributesGroup");
    auto* grid = Tight(new QGridLayout(group), 2);
    grid->setHorizontalSpacing(2);
    grid->addWidget(MakeLabel(T::kIgnoreAttributes), 0, 0, 1, 4);
    grid->addWidget(makeFlag(C::Hidden, T::kHidden, false, "hidden"), 1, 0);
    grid->addWidget(makeFlag(C::ReadOnly, T::kReadOnly, false, "readOnly"), 1, 1);
    grid->addWidget(makeFlag(C::Archive, T::kArchive, false, "archive"), 1, 2);
    grid->addWidget(makeFlag(C::System, T::kSystem, false, "system"), 1, 3);
    grid->addWidget(makeFlag(C::AlsoDirectories, T::kAlsoDirectories, true, "alsoDirectories"), 2, 0, 1, 4);
    return group;
}

QGroupBox* SearchFormLayout::buildSize()
{
    QGroupBox* group = MakeGroup(T::kSize, "sizeGroup");
    m_made.controls[C::SizeGroup] = group;
    auto* grid = Tight(new QGridLayout(group), 2);
    grid->addWidget(makeFlag(C::SizeFilter, T::kOnlyFilesBetween, false, "sizeFilter"), 0, 0, 1, 4);
    const auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*[0-9]*\\s*")), group);
    for (const auto& [id, name] : {std::pair{C::MinSize, "minSize"}, std::pair{C::MaxSize, "maxSize"}}) {
        auto* field = new QLineEdit;
        field->setValidator(validator);
        field->setMaxLength(10);
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
        add(id, field, name);
    }
    grid->addWidget(control(C::MinSize), 1, 0);
    grid->addWidget(MakeLabel(T::kKbAnd), 1, 1);
    grid->addWidget(control(C::MaxSize), 1, 2);
    grid->addWidget(MakeLabel(T::kKbSearch), 1, 3);
    grid->addWidget(MakeLabel(T::kEmptyFieldUnlimited), 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);
    return group;
}

QGroupBox* SearchFormLayout::buildDate()
{
    QGroupBox* group = MakeGroup(T::kDate, "dateGroup");
    m_made.controls[C::DateGroup] = group;
    auto* grid = Tight(new QGridLayout(group), 2);
    grid->setHorizontalSpacing(6);

    auto* kinds = new QHBoxLayout;
    kinds->setSpacing(6);
    kinds->addWidget(makeFlag(C::DateFilter, T::kOnlyFiles, false, "dateFilter"));
    kinds->addWidget(makeFlag(C::DateModified, T::kModified, false, "dateModified"));
    kinds->addWidget(makeFlag(C::DateCreated, T::kCreated, false, "dateCreated"));
    kinds->addWidget(makeFlag(C::DateAccessed, T::kAccessed, false, "dateAccessed"));
    kinds->addStretch(1);
    grid->addLayout(kinds, 0, 0, 1, 5);

    for (const auto& [id, name] : {std::pair{C::FromDate, "fromDate"}, std::pair{C::ToDate, "toDate"}}) {
        auto* edit = new QDateEdit;
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
        add(id, edit, name);
    }
    for (const auto& [id, name] : {std::pair{C::FromTime, "fromTime"}, std::pair{C::ToTime, "toTime"}}) {
        auto* edit = new QTimeEdit;
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        add(id, edit, name);
    }
    auto* absolute = new QRadioButton(Utf8(T::kBetween));
    auto* relative = new QRadioButton(Utf8(T::kInTheLast));
    add(C::AbsoluteDates, absolute, "absoluteDates");
    add(C::RelativeDates, relative, "relativeDates");
    auto* count = new QSpinBox;
    count->setRange(1, 99'999);
    count->setMaximumWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("99999")) + 36);
    add(C::RelativeCount, count, "relativeCount");
    auto* unit = new QComboBox;
    unit->addItems({Utf8(T::kDays), Utf8(T::kHours)});
    add(C::RelativeUnit, unit, "relativeUnit");
    grid->addWidget(absolute, 1, 0);
    grid->addWidget(control(C::FromDate), 1, 1);
    grid->addWidget(MakeLabel(T::kAt), 1, 2);
    grid->addWidget(control(C::FromTime), 1, 3);
    grid->addWidget(MakeLabel(T::kAnd), 2, 0);
    grid->addWidget(control(C::ToDate), 2, 1);
    grid->addWidget(MakeLabel(T::kAt), 2, 2);
    grid->addWidget(control(C::ToTime), 2, 3);
    grid->addWidget(MakeLabel(T::kSearchSuffix), 2, 4);
    // Beside the first date, above "durchsuchen", so the group keeps its size.
    grid->addWidget(relative, 1, 4);
    grid->addWidget(count, 1, 5);
    grid->addWidget(unit, 1, 6);
    grid->setColumnStretch(7, 1);
    return group;
}

QGroupBox* SearchFormLayout::buildNameStrings()
{
    QGroupBox* group = MakeGroup(T::kNameStrings, "nameStringGroup");
    m_made.controls[C::NameStringGroup] = group;
    auto* grid = Tight(new QGridLayout(group));
    grid->addWidget(makeCombo(C::NameStrings, FormCombo::NameStrings, "nameStrings"), 0, 0, 1, 2);
    grid->addWidget(makeButton(C::RemoveNameString, T::kRemove, "removeNameString"), 0, 2);
    auto* allMustOccur = new QRadioButton(Utf8(T::kAllMustOccur));
    auto* ignoreIfAny = new QRadioButton(Utf8(T::kIgnoreIfAny));
    add(C::AllMustOccur, allMustOccur, "allMustOccur");
    add(C::IgnoreIfAny, ignoreIfAny, "ignoreIfAny");
    grid->addWidget(allMustOccur, 1, 0);
    // The one row of the frame with room to spare, so that the expanded form
    // keeps its height: which files are read as text.
    auto* rest = new QHBoxLayout;
    rest->addWidget(ignoreIfAny);
    rest->addStretch(1);
    rest->addWidget(makeFlag(C::SearchInside, T::kSearchInside, false, "searchInside"));
    grid->addLayout(rest, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

}  // namespace tarnwick::ui
