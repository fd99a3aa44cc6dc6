// Binding the search form's controls to the controller: edits go into the
// fields at once, the controls show the fields again after every change the
// controller reports.
#include "ui/searchform/SearchFormWidget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "formjob/FormJob.h"
#include "formjob/RelativeDates.h"
#include "ui/searchform/SearchFormDialogs.h"
#include "ui/searchform/SearchFormLayout.h"

namespace tarnwick::ui {
namespace {

namespace C = FormControl;
using settings::FormState;

// Flags without rules of their own: the control writes the field directly.
constexpr std::pair<int, std::int32_t FormState::*> kPlainFlags[] = {
    {C::SpecialCharacters, &FormState::specialCharacters},
    {C::Subfolders, &FormState::includeSubfolders},
    {C::MatchCase, &FormState::matchCase},
    {C::SearchContents, &FormState::searchContents},
    {C::SearchDirNames, &FormState::searchDirNames},
    {C::SearchFileNames, &FormState::searchFileNames},
    {C::WholeWords, &FormState::wholeWords},
    {C::DateModified, &FormState::dateModified},
    {C::DateCreated, &FormState::dateCreated},
    {C::DateAccessed, &FormState::dateAccessed},
    {C::Hidden, &FormState::skipHidden},
    {C::ReadOnly, &FormState::skipReadOnly},
    {C::Archive, &FormState::skipArchive},
    {C::System, &FormState::skipSystem},
    {C::AlsoDirectories, &FormState::attributesOnDirs},
    {C::SearchInside, &FormState::searchInside},
    {C::ReplacementCaptures, &FormState::replacementCaptures},
    {C::PreserveCase, &FormState::preserveCase},
};

// Flags whose change runs an enabling rule or a warning.
struct RuleFlag {
    int id;
    std::int32_t FormState::*field;
    void (*apply)(SearchFormController&, bool);
};

constexpr RuleFlag kRuleFlags[] = {
    {C::RegularExpression, &FormState::regularExpression, [](SearchFormController& c, bool on) { c.setRegularExpression(on); }},
    {C::AllFileTypes, &FormState::allFileTypes, [](SearchFormController& c, bool on) { c.setAllFileTypes(on); }},
    {C::UseWord, &FormState::useWord, [](SearchFormController& c, bool on) { c.setUseWord(on); }},
    {C::SizeFilter, &FormState::sizeFilter, [](SearchFormController& c, bool on) { c.setSizeFilter(on); }},
    {C::DateFilter, &FormState::dateFilter, [](SearchFormController& c, bool on) { c.setDateFilter(on); }},
    {C::FilesWithoutHits, &FormState::filesWithoutHits, [](SearchFormController& c, bool on) { c.setFilesWithoutHits(on); }},
};

// The keys an edit field keeps for itself, before the main window's
// shortcuts see them.
bool IsEditKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_X:
    case Qt::Key_Z: return mods == Qt::ControlModifier;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Insert: return mods == Qt::NoModifier;
    default: return false;
    }
}

}  // namespace

class SearchFormWidget::Listener final : public FormListener {
public:
    explicit Listener(SearchFormWidget& form) : m_form(form) {}

    void formChanged() override { m_form.refresh(); }
    void busyChanged(bool busy) override { emit m_form.busyChanged(busy); }
    void expandedChanged(bool expanded) override
    {
        m_form.showExpanded();
        emit m_form.expandedChanged(expanded);
    }
    void statusTextChanged(const std::string& text) override { emit m_form.statusTextChanged(m_form.qt(text)); }
    void lastRunWasSearchChanged(bool value) override { emit m_form.lastRunWasSearchChanged(value); }
    void selectedReplaceEnded() override { emit m_form.selectedReplaceEnded(); }
    void filesAboutToChange() override { emit m_form.filesAboutToChange(); }
    void releaseViewerDocuments() override { emit m_form.releaseViewerDocuments(); }

private:
    SearchFormWidget& m_form;
};

SearchFormWidget::SearchFormWidget(SearchFormController& controller, const CodePage& codePage, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_codePage(codePage)
{
    setObjectName(QStringLiteral("searchForm"));
    SearchFormControls made = SearchFormLayout().build();
    m_content = made.content;
    m_topRow = made.topRow;
    m_controls = std::move(made.controls);
    m_combos = std::move(made.combos);
    placeContent();
    connectControls();
    m_listener = std::make_unique<Listener>(*this);
    m_controller.setListener(m_listener.get());
    refresh();
    showExpanded();
}

SearchFormWidget::~SearchFormWidget() { m_controller.setListener(nullptr); }

void SearchFormWidget::placeContent()
{
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("searchFormScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_content);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_content->setAutoFillBackground(false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);
}

QWidget* SearchFormWidget::control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QComboBox* SearchFormWidget::comboBox(FormCombo which) const
{
    const auto found = m_combos.find(which);
    return found == m_combos.end() ? nullptr : found->second;
}

QString SearchFormWidget::qt(const std::string& bytes) const { return FormTextToQt(bytes, m_codePage); }

std::string SearchFormWidget::bytes(const QString& text) const { return QtToFormText(text, m_codePage); }

void SearchFormWidget::connectControls()
{
    // The line of active filters is clicked, not edited (eventFilter).
    control(C::HiddenFilters)->installEventFilter(this);
    for (const auto& [id, field] : kPlainFlags) {
        connect(static_cast<QAbstractButton*>(control(id)), &QAbstractButton::clicked, this, [this, field = field](bool on) {
            m_controller.fields().*field = on ? 1 : 0;
            showHiddenFilters();
        });
    }
    for (const RuleFlag& flag : kRuleFlags) {
        connect(static_cast<QAbstractButton*>(control(flag.id)), &QAbstractButton::clicked, this,
                [this, apply = flag.apply](bool on) { apply(m_controller, on); });
    }
    const auto onClick = [this](int id, auto action) {
        connect(static_cast<QAbstractButton*>(control(id)), &QAbstractButton::clicked, this, action);
    };
    onClick(C::WordAllTypes, [this] { m_controller.setWordAutoMode(WordAutoMode::AllTypes); });
    onClick(C::WordAuto, [this] { m_controller.setWordAutoMode(WordAutoMode::ByExtension); });
    onClick(C::AllMustOccur,
            [this] { m_controller.fields().nameStringMode = session::StoredNameStringMode(NameStringMode::AllMustOccur); });
    onClick(C::IgnoreIfAny,
            [this] { m_controller.fields().nameStringMode = session::StoredNameStringMode(NameStringMode::IgnoreIfAnyOccurs); });
    onClick(C::AbsoluteDates, [this] { m_controller.setRelativeDates(false); });
    onClick(C::RelativeDates, [this] { m_controller.setRelativeDates(true); });
    onClick(C::Browse, [this] { m_controller.browseDirectory(); });
    onClick(C::RemoveFileType, [this] { m_controller.removeComboEntry(FormCombo::FileTypes); });
    onClick(C::RemoveNameString, [this] { m_controller.removeComboEntry(FormCombo::NameStrings); });
    onClick(C::Expand, [this] { m_controller.toggleExpanded(); });

    for (FormCombo which :
         {FormCombo::SearchText, FormCombo::ReplaceText, FormCombo::Directory, FormCombo::FileTypes, FormCombo::NameStrings})
        connectCombo(which);

    for (const bool upper : {false, true}) {
        auto* field = static_cast<QLineEdit*>(control(upper ? C::MaxSize : C::MinSize));
        connect(field, &QLineEdit::textEdited, this,
                [this, upper](const QString& text) { m_controller.setSizeField(upper, bytes(text)); });
        field->installEventFilter(this);
    }
    connect(static_cast<QSpinBox*>(control(C::RelativeCount)), &QSpinBox::valueChanged, this, [this](int value) {
        if (m_refreshing) return;
        m_controller.fields().dateRelativeCount = static_cast<std::uint32_t>(value);
        showHiddenFilters();
    });
    connect(static_cast<QComboBox*>(control(C::RelativeUnit)), &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_refreshing || index < 0) return;
        m_controller.fields().dateRelativeUnit = static_cast<std::uint32_t>(index);
        showHiddenFilters();
    });
    for (int id : {C::FromDate, C::ToDate})
        connect(static_cast<QDateEdit*>(control(id)), &QDateEdit::dateChanged, this, [this] { takeDates(); });
    for (int id : {C::FromTime, C::ToTime})
        connect(static_cast<QTimeEdit*>(control(id)), &QTimeEdit::timeChanged, this, [this] { takeDates(); });
}

void SearchFormWidget::connectCombo(FormCombo which)
{
    QComboBox* box = comboBox(which);
    connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, which](const QString& text) {
        m_controller.setComboText(which, bytes(text));
        showHiddenFilters();
    });
    connect(box, &QComboBox::activated, this, [this, which](int index) { m_controller.selectComboEntry(which, index); });
    box->lineEdit()->installEventFilter(this);
}

void SearchFormWidget::takeDates()
{
    if (m_refreshing) return;
    const auto seconds = [this](int dateId, int timeId) {
        const QDate date = static_cast<QDateEdit*>(control(dateId))->date();
        const QTime time = static_cast<QTimeEdit*>(control(timeId))->time();
        return QDateTime(date, time).toSecsSinceEpoch();
    };
    m_controller.setDateFrom(seconds(C::FromDate, C::FromTime));
    m_controller.setDateTo(seconds(C::ToDate, C::ToTime));
}

void SearchFormWidget::addContextActions(const QList<QAction*>& actions)
{
    // Fields keep their own editing menus; the rest of the form offers these.
    m_content->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_content->addActions(actions);
}

bool SearchFormWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == control(C::HiddenFilters)) {
        // The line of active filters opens the form that shows them.
        if (event->type() == QEvent::MouseButtonRelease && !m_controller.isExpanded()) m_controller.toggleExpanded();
        return QWidget::eventFilter(watched, event);
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride && IsEditKey(*static_cast<QKeyEvent*>(event))) {
        // Accepting the override keeps the main window's shortcuts from
        // taking the key: the field gets it as a plain key press.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (const auto& [which, box] : m_combos) {
            if (box->lineEdit() == edit) m_controller.commitComboText(which);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- showing the fields ---

void SearchFormWidget::refresh()
{
    m_refreshing = true;
    const FormState& state = m_controller.state();
    for (const auto& [id, field] : kPlainFlags) static_cast<QAbstractButton*>(control(id))->setChecked(state.*field != 0);
    for (const RuleFlag& flag : kRuleFlags) static_cast<QAbstractButton*>(control(flag.id))->setChecked(state.*flag.field != 0);
    // The radio buttons show the modes as a run reads them.
    const bool allTypes = session::WordAutoModeOf(state.wordAutoMode) == WordAutoMode::AllTypes;
    static_cast<QAbstractButton*>(control(C::WordAllTypes))->setChecked(allTypes);
    static_cast<QAbstractButton*>(control(C::WordAuto))->setChecked(!allTypes);
    const bool allMustOccur = session::NameStringModeOf(state.nameStringMode) == NameStringMode::AllMustOccur;
    static_cast<QAbstractButton*>(control(C::AllMustOccur))->setChecked(allMustOccur);
    static_cast<QAbstractButton*>(control(C::IgnoreIfAny))->setChecked(!allMustOccur);

    for (const auto& [which, box] : m_combos) showCombo(which);
    for (const bool upper : {false, true}) {
        auto* field = static_cast<QLineEdit*>(control(upper ? C::MaxSize : C::MinSize));
        const std::uint32_t value = upper ? state.maxSizeKb : state.minSizeKb;
        // A field being typed in keeps its text while it means the same number.
        if (!field->hasFocus() || SizeFieldValue(bytes(field->text()), upper ? kNoUpperSizeLimit : 0) != value)
            field->setText(qt(SizeFieldText(value, upper)));
    }
    const bool relative = state.dateRelative != 0;
    static_cast<QAbstractButton*>(control(C::AbsoluteDates))->setChecked(!relative);
    static_cast<QAbstractButton*>(control(C::RelativeDates))->setChecked(relative);
    const session::RelativeSpan span = session::FormRelativeSpan(state);
    static_cast<QSpinBox*>(control(C::RelativeCount))->setValue(static_cast<int>(span.count));
    static_cast<QComboBox*>(control(C::RelativeUnit))->setCurrentIndex(span.unit == session::RelativeUnit::Hours ? 1 : 0);
    showDates();
    showEnabling();
    showHiddenFilters();
    m_refreshing = false;
}

void SearchFormWidget::showCombo(FormCombo which)
{
    QComboBox* box = comboBox(which);
    const settings::ComboHistory& history = m_controller.combo(which);
    QStringList entries;
    for (const std::string& entry : history.entries) entries << qt(entry);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    const QSignalBlocker block(box);
    if (shown != entries) {
        box->clear();
        box->addItems(entries);
    }
    if (history.selected >= 0 && history.selected < box->count() && box->currentIndex() != history.selected)
        box->setCurrentIndex(history.selected);
    const QString text = qt(history.text);
    if (box->currentText() != text) box->setEditText(text);
}

void SearchFormWidget::showDates()
{
    const QDateTime from = QDateTime::fromSecsSinceEpoch(m_controller.dateFrom());
    const QDateTime to = QDateTime::fromSecsSinceEpoch(m_controller.dateTo());
    static_cast<QDateEdit*>(control(C::FromDate))->setDate(from.date());
    static_cast<QTimeEdit*>(control(C::FromTime))->setTime(from.time());
    static_cast<QDateEdit*>(control(C::ToDate))->setDate(to.date());
    static_cast<QTimeEdit*>(control(C::ToTime))->setTime(to.time());
}

void SearchFormWidget::showEnabling()
{
    const FormEnabling& enabling = m_controller.enabling();
    const auto enable = [this](std::initializer_list<int> ids, bool on) {
        for (int id : ids) control(id)->setEnabled(on);
    };
    enable({C::FileTypes, C::RemoveFileType}, enabling.fileTypes);
    enable({C::MinSize, C::MaxSize}, enabling.sizeFields);
    enable({C::DateModified, C::DateCreated, C::DateAccessed, C::AbsoluteDates, C::RelativeDates}, enabling.dateControls);
    enable({C::FromDate, C::ToDate, C::FromTime, C::ToTime}, enabling.absoluteDates);
    enable({C::RelativeCount, C::RelativeUnit}, enabling.relativeDates);
    enable({C::WholeWords}, enabling.wholeWords);
    enable({C::RegularExpression}, enabling.regularExpression);
    enable({C::ReplacementCaptures}, enabling.replacementCaptures);
    enable({C::PreserveCase}, enabling.preserveCase);
    enable({C::WordAllTypes, C::WordAuto}, enabling.wordModes);
}

void SearchFormWidget::showExpanded()
{
    const bool expanded = m_controller.isExpanded();
    for (int id : {C::SizeGroup, C::DateGroup, C::NameStringGroup}) control(id)->setVisible(expanded);
    // Collapsed, the line of active filters stands for the whole frame "Datei":
    // a frame cut off at the row's edge would only invite scrolling.
    control(C::FileFrame)->setVisible(expanded);
    static_cast<QAbstractButton*>(control(C::Expand))->setText(qt(m_controller.expandButtonText()));
    showHiddenFilters();
    contentChanged();
}

void SearchFormWidget::showHiddenFilters()
{
    auto* line = static_cast<QLabel*>(control(C::HiddenFilters));
    const QString text = qt(m_controller.hiddenFiltersLine());
    const bool wasShown = !line->isHidden();
    line->setText(text);
    line->setVisible(!text.isEmpty());
    if (wasShown != !line->isHidden()) contentChanged();
}

void SearchFormWidget::contentChanged()
{
    // Layouts learn of a shown or hidden child only when their events come;
    // the form's height is wanted now, by the collapsed minimum below and by
    // the main window, which sizes the form's row by the hint.
    m_topRow->updateGeometry();
    control(C::FileFrame)->updateGeometry();
    // The collapsed row shows the main fields and the line in full, even
    // where the fonts make them taller than the row's usual height.
    setMinimumHeight(m_controller.isExpanded() ? 0 : sizeHint().height());
    updateGeometry();
}

QSize SearchFormWidget::sizeHint() const
{
    // All of the content, which the scroll area would cap at a few dozen lines.
    return m_content->sizeHint();
}

}  // namespace tarnwick::ui
