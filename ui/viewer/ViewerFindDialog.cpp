#include "ui/viewer/ViewerFindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {

ViewerFindDialog::ViewerFindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("viewerFindDialog"));
    setWindowTitle(viewertext::ReplaceTitle());
    setModal(false);

    auto* findLabel = new QLabel(QStringLiteral("Suchen nach:"), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findText"));
    findLabel->setBuddy(m_find);
    m_replaceLabel = new QLabel(QStringLiteral("Ersetzen mit:"), this);
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("replaceText"));
    m_replaceLabel->setBuddy(m_replace);

    m_wholeWord = new QCheckBox(QStringLiteral("Nur ganzes Wort"), this);
    m_regex = new QCheckBox(QStringLiteral("Regulärer Ausdruck"), this);
    m_matchCase = new QCheckBox(QStringLiteral("Gross-/Kleinschreibung beachten"), this);

    auto* direction = new QGroupBox(QStringLiteral("Suchrichtung"), this);
    m_up = new QRadioButton(QStringLiteral("Nach oben"), direction);
    m_down = new QRadioButton(QStringLiteral("Nach unten"), direction);
    m_down->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    m_findNext = new QPushButton(QStringLiteral("&Weitersuchen"), this);
    m_findNext->setDefault(true);
    m_replaceOne = new QPushButton(QStringLiteral("&Ersetzen"), this);
    m_replaceAll = new QPushButton(QStringLiteral("A&lle ersetzen"), this);
    auto* cancel = new QPushButton(viewertext::Cancel(), this);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replace, 1, 1);
    auto* flags = new QVBoxLayout;
    flags->addWidget(m_wholeWord);
    flags->addWidget(m_regex);
    flags->addWidget(m_matchCase);
    auto* lower = new QHBoxLayout;
    lower->addLayout(flags);
    lower->addWidget(direction, 0, Qt::AlignBottom);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(lower);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_findNext, m_replaceOne, m_replaceAll, cancel}) buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    m_find->setMinimumWidth(220);

    connect(m_findNext, &QPushButton::clicked, this, &ViewerFindDialog::findNextRequested);
    connect(m_replaceOne, &QPushButton::clicked, this, &ViewerFindDialog::replaceRequested);
    connect(m_replaceAll, &QPushButton::clicked, this, &ViewerFindDialog::replaceAllRequested);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_regex, &QCheckBox::toggled, this, [this] { updateEnabling(); });
    updateEnabling();
}

void ViewerFindDialog::setOptions(const ViewerFindOptions& options, bool replace)
{
    m_replaceMode = replace;
    setWindowTitle(replace ? viewertext::ReplaceTitle() : viewertext::FindTitle());
    m_find->setText(options.findText);
    if (replace) m_replace->setText(options.replaceText);
    m_wholeWord->setChecked(options.wholeWord);
    m_regex->setChecked(options.regularExpression);
    m_matchCase->setChecked(options.matchCase);
    (options.down ? m_down : m_up)->setChecked(true);
    m_captures = options.captures;
    m_preserveCase = options.preserveCase;
    m_specialCharacters = options.specialCharacters;
    for (QWidget* part : {static_cast<QWidget*>(m_replaceLabel), static_cast<QWidget*>(m_replace),
                          static_cast<QWidget*>(m_replaceOne), static_cast<QWidget*>(m_replaceAll)}) {
        part->setVisible(replace);
    }
    updateEnabling();
    adjustSize();
}

ViewerFindOptions ViewerFindDialog::options() const
{
    ViewerFindOptions o;
    o.findText = m_find->text();
    o.replaceText = m_replace->text();
    o.wholeWord = m_wholeWord->isChecked();
    o.regularExpression = m_regex->isChecked();
    o.matchCase = m_matchCase->isChecked();
    o.down = m_down->isChecked();
    o.captures = m_captures;
    o.preserveCase = m_preserveCase;
    o.specialCharacters = m_specialCharacters;
    return o;
}

void ViewerFindDialog::updateEnabling() { m_wholeWord->setEnabled(!m_regex->isChecked()); }

ViewerGoToDialog::ViewerGoToDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("viewerGoToDialog"));
    setWindowTitle(viewertext::GoToTitle());
    m_line = new QSpinBox(this);
    m_column = new QSpinBox(this);
    for (QSpinBox* box : {m_line, m_column}) {
        box->setRange(1, INT_MAX);
        box->setValue(1);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Zeile"), m_line);
    form->addRow(QStringLiteral("Spalte"), m_column);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(viewertext::Ok(), QDialogButtonBox::AcceptRole);
    buttons->addButton(viewertext::Cancel(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_line->selectAll();
}

int ViewerGoToDialog::line() const { return m_line->value(); }
int ViewerGoToDialog::column() const { return m_column->value(); }

}  // namespace tarnwick::ui
