#include "ui/expressiontester/ExpressionTesterDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStringList>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/CodePage.h"
#include "ui/common/EngineText.h"
#include "ui/expressiontester/ExpressionTesterTexts.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::ui {
namespace {

namespace T = text::tester;

const QColor kMatchBackground(0xff, 0xf0, 0x9e);
const QColor kCurrentMatchBackground(0xff, 0xc8, 0x4a);
const QColor kReplacementBackground(0xd8, 0xf5, 0xd8);

QString FromBytes(const std::string& bytes, const CodePage& codePage)
{
    return QString::fromStdString(codePage.ansiToUtf8(bytes));
}

// Marks the characters that hold bytes [position, position + length); an
// empty match marks nothing but is still found by the cursor.
QTextEdit::ExtraSelection Mark(QPlainTextEdit* view, const TextOffsets& offsets, std::int64_t position, std::int64_t length,
                               const QColor& background)
{
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(view->document());
    mark.cursor.setPosition(offsets.unitOf(position));
    // A match that ends inside a character marks that character too.
    const int end = length > 0 ? offsets.unitOf(position + length - 1) + 1 : offsets.unitOf(position);
    mark.cursor.setPosition(std::max(end, mark.cursor.position()), QTextCursor::KeepAnchor);
    mark.format.setBackground(background);
    return mark;
}

}  // namespace

ExpressionTesterDialog::ExpressionTesterDialog(SearchFormController& form, const TesterSample& sample, const CodePage& codePage,
                                               QWidget* parent)
    : QDialog(parent), m_form(form), m_codePage(codePage), m_logic(form.state(), codePage)
{
    setObjectName(QStringLiteral("expressionTesterDialog"));
    setWindowTitle(qs(T::kTitle));
    buildWidgets();
    m_search->setText(FromBytes(m_logic.searchText(), codePage));
    m_replace->setText(FromBytes(m_logic.replaceText(), codePage));
    m_sample->setPlainText(FromBytes(sample.text, codePage));
    sampleEdited();
    QTextCursor cursor = m_sample->textCursor();
    cursor.setPosition(m_sampleOffsets->unitOf(sample.cursor));
    m_sample->setTextCursor(cursor);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_logic.setSearchText(TextOffsets(text, m_codePage).bytes());
        showTrial();
    });
    connect(m_replace, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_logic.setReplaceText(TextOffsets(text, m_codePage).bytes());
        showTrial();
    });
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        connect(m_options[i], &QCheckBox::toggled, this, [this, i](bool on) {
            m_logic.setOption(i, on);
            showTrial();
        });
    }
    connect(m_sample, &QPlainTextEdit::textChanged, this, [this] {
        sampleEdited();
        showTrial();
    });
    connect(m_sample, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        showMarks();
        showGroups();
    });
    showTrial();
}

void ExpressionTesterDialog::buildWidgets()
{
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("testerSearch"));
    m_replace = new QLineEdit;
    m_replace->setObjectName(QStringLiteral("testerReplace"));
    auto* texts = new QGridLayout;
    texts->addWidget(new QLabel(qs(T::kSearchLabel)), 0, 0);
    texts->addWidget(m_search, 0, 1);
    texts->addWidget(new QLabel(qs(T::kReplaceLabel)), 1, 0);
    texts->addWidget(m_replace, 1, 1);

    auto* optionsFrame = new QGroupBox(qs(T::kOptionsFrame));
    auto* optionsGrid = new QGridLayout(optionsFrame);
    const std::vector<TesterOption>& options = TesterOptions();
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* box = new QCheckBox(qs(options[i].text));
        box->setChecked(m_logic.option(i));
        optionsGrid->addWidget(box, static_cast<int>(i % 3), static_cast<int>(i / 3));
        m_options.push_back(box);
    }

    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("testerMessage"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_errorPosition = new QLabel;
    m_errorPosition->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_errorPosition->setTextFormat(Qt::PlainText);

    m_sample = new QPlainTextEdit;
    m_sample->setObjectName(QStringLiteral("testerSample"));
    m_replaced = new QPlainTextEdit;
    m_replaced->setObjectName(QStringLiteral("testerReplaced"));
    m_replaced->setReadOnly(true);
    for (QPlainTextEdit* view : {m_sample, m_replaced}) view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_count = new QLabel;
    auto* samplePane = new QWidget;
    auto* sampleLayout = new QVBoxLayout(samplePane);
    sampleLayout->setContentsMargins(0, 0, 0, 0);
    sampleLayout->addWidget(new QLabel(qs(T::kSampleLabel)));
    sampleLayout->addWidget(m_sample, 1);
    sampleLayout->addWidget(m_count);
    auto* replacedPane = new QWidget;
    auto* replacedLayout = new QVBoxLayout(replacedPane);
    replacedLayout->setContentsMargins(0, 0, 0, 0);
    replacedLayout->addWidget(new QLabel(qs(T::kReplacedLabel)));
    replacedLayout->addWidget(m_replaced, 1);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(samplePane);
    split->addWidget(replacedPane);

    m_groups = new QTreeWidget;
    m_groups->setObjectName(QStringLiteral("testerGroups"));
    m_groups->setRootIsDecorated(false);
    m_groups->setHeaderLabels({qs(T::kGroupNumber), qs(T::kGroupName), qs(T::kGroupText), qs(T::kGroupPosition)});
    m_groups->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_groups->header()->setStretchLastSection(false);
    m_groups->setMaximumHeight(150);

    auto* buttons = new QDialogButtonBox;
    m_takeOver = buttons->addButton(qs(T::kTakeOver), QDialogButtonBox::AcceptRole);
    m_takeOver->setObjectName(QStringLiteral("testerTakeOver"));
    QPushButton* close = buttons->addButton(qs(T::kClose), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("testerClose"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ExpressionTesterDialog::takeOver);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(optionsFrame);
    layout->addWidget(m_message);
    layout->addWidget(m_errorPosition);
    layout->addWidget(split, 1);
    layout->addWidget(new QLabel(qs(T::kGroupsLabel)));
    layout->addWidget(m_groups);
    layout->addWidget(buttons);
    resize(860, 620);
}

void ExpressionTesterDialog::takeOver()
{
    m_form.changeFields([this](settings::FormState& fields) { m_logic.applyTo(fields); });
    accept();
}

void ExpressionTesterDialog::sampleEdited()
{
    m_sampleOffsets.emplace(m_sample->toPlainText(), m_codePage);
    m_logic.setSample(m_sampleOffsets->bytes());
}

void ExpressionTesterDialog::showTrial()
{
    for (std::size_t i = 0; i < m_options.size(); ++i) m_options[i]->setEnabled(m_logic.isOptionEnabled(i));
    showMessage();
    const ExpressionTrial& trial = m_logic.trial();
    m_count->setText(trial.searchError.empty() ? qs(m_logic.matchCountText().c_str()) : QString());
    const bool replaced = trial.searchError.empty() && trial.replacementError.empty();
    const QString replacedText = replaced ? FromBytes(trial.replaced, m_codePage) : QString();
    if (m_replaced->toPlainText() != replacedText) m_replaced->setPlainText(replacedText);
    // The inserted replacements, where the shown text still lines up with the engine's bytes.
    QList<QTextEdit::ExtraSelection> marks;
    const TextOffsets offsets(replacedText, m_codePage);
    if (replaced && offsets.bytes() == trial.replaced) {
        for (const TrialSpan& span : trial.replacements)
            marks.append(Mark(m_replaced, offsets, span.position, span.length, kReplacementBackground));
    }
    m_replaced->setExtraSelections(marks);
    showMarks();
    showGroups();
}

void ExpressionTesterDialog::showMessage()
{
    const ExpressionTrial& trial = m_logic.trial();
    QStringList lines;
    if (!trial.searchError.empty()) lines << FromBytes(trial.searchError, m_codePage);
    if (!trial.replacementError.empty()) lines << FromBytes(trial.replacementError, m_codePage);
    m_message->setText(lines.join(QLatin1Char('\n')));
    m_message->setVisible(!lines.isEmpty());
    showErrorPosition();
}

void ExpressionTesterDialog::showErrorPosition()
{
    const ExpressionTrial& trial = m_logic.trial();
    if (trial.searchError.empty() || trial.errorPosition < 0) {
        m_errorPosition->clear();
        m_errorPosition->hide();
        return;
    }
    const QString expression = m_search->text();
    const int column = TextOffsets(expression, m_codePage).unitOf(trial.errorPosition);
    m_errorPosition->setText(expression + QLatin1Char('\n') + QString(column, QLatin1Char(' ')) + QLatin1Char('^') +
                             QLatin1Char(' ') + qs(T::kErrorColumn) + QString::number(column + 1));
    m_errorPosition->show();
}

void ExpressionTesterDialog::showMarks()
{
    const ExpressionTrial& trial = m_logic.trial();
    const int current = m_logic.matchAt(m_sampleOffsets->byteOf(m_sample->textCursor().position()));
    QList<QTextEdit::ExtraSelection> marks;
    for (std::size_t i = 0; i < trial.matches.size(); ++i) {
        const TrialMatch& match = trial.matches[i];
        marks.append(Mark(m_sample, *m_sampleOffsets, match.position, match.length,
                          static_cast<int>(i) == current ? kCurrentMatchBackground : kMatchBackground));
    }
    m_sample->setExtraSelections(marks);
}

void ExpressionTesterDialog::showGroups()
{
    m_groups->clear();
    const int current = m_logic.matchAt(m_sampleOffsets->byteOf(m_sample->textCursor().position()));
    if (current < 0) return;
    const std::string& sample = m_sampleOffsets->bytes();
    for (const TrialGroup& group : m_logic.trial().matches[static_cast<std::size_t>(current)].groups) {
        auto* row = new QTreeWidgetItem(m_groups);
        row->setText(0, QString::number(group.number));
        row->setText(1, FromBytes(group.name, m_codePage));
        if (group.matched) {
            row->setText(
                2,
                FromBytes(sample.substr(static_cast<std::size_t>(group.position), static_cast<std::size_t>(group.length)),
                          m_codePage));
            row->setText(3, QString::number(group.position));
        } else {
            row->setText(2, qs(T::kGroupNotMatched));
        }
    }
}

}  // namespace tarnwick::ui
