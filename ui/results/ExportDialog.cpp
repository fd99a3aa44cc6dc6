#include "ui/results/ExportDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/CodePage.h"
#include "settings/ExportSettings.h"
#include "ui/common/EngineText.h"
#include "ui/results/ExportDialogPrompts.h"
#include "ui/results/ExportDialogTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::exporting;

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

ExportDialog::ExportDialog(settings::ProfileStore& store, const std::string& templateDirectory, ExportPrompts* prompts,
                           QWidget* parent)
    : QDialog(parent), m_logic(settings::ReadExportSettings(store, templateDirectory)), m_store(store), m_prompts(prompts)
{
    if (m_prompts == nullptr) {
        m_ownPrompts = std::make_unique<DesktopExportPrompts>();
        m_prompts = m_ownPrompts.get();
    }
    buildWidgets();
    showSettings();
    connectControls();
    applyEnabling();
}

ExportDialog::~ExportDialog() = default;

void ExportDialog::buildWidgets()
{
    setWindowTitle(qs(texts::kTitle));

    auto* ok = named(new QPushButton(qs(texts::kOk), this), "ok");
    auto* cancel = named(new QPushButton(qs(texts::kCancel), this), "cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ExportDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFormatGroup());
    layout->addWidget(buildElementsGroup());
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

QGroupBox* ExportDialog::buildFormatGroup()
{
    auto* group = new QGroupBox(qs(texts::kFormatFrame), this);
    m_xml = named(new QRadioButton(qs(texts::kXmlFile), group), "typeXml");
    m_csv = named(new QRadioButton(qs(texts::kCsvFile), group), "typeCsv");
    m_byTemplate = named(new QRadioButton(qs(texts::kByTemplate), group), "typeTemplate");
    auto* types = new QButtonGroup(this);
    // The buttons' ids are the stored numbers of their types.
    types->addButton(m_xml, static_cast<int>(settings::StoredExportType(ExportType::Xml)));
    types->addButton(m_csv, static_cast<int>(settings::StoredExportType(ExportType::Csv)));
    types->addButton(m_byTemplate, static_cast<int>(settings::StoredExportType(ExportType::Template)));
    connect(types, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked) return;
        m_logic.setType(settings::ExportTypeFromStored(id));
        applyEnabling();
    });

    m_separator = named(new QLineEdit(group), "separator");
    m_separator->setFixedWidth(m_separator->fontMetrics().averageCharWidth() * 8 + 12);
    auto* separatorLabel = new QLabel(qs(texts::kSeparatorLabel), group);
    separatorLabel->setBuddy(m_separator);
    auto* csvRow = new QHBoxLayout;
    csvRow->addWidget(m_csv);
    csvRow->addSpacing(12);
    csvRow->addWidget(separatorLabel);
    csvRow->addWidget(m_separator);
    csvRow->addStretch();

    m_templatePath = named(new QLineEdit(group), "templatePath");
    // Room for a template path of ordinary length.
    m_templatePath->setMinimumWidth(m_templatePath->fontMetrics().averageCharWidth() * 44);
    m_browse = named(new QPushButton(qs(texts::kBrowse), group), "browseTemplate");
    connect(m_browse, &QPushButton::clicked, this, &ExportDialog::browseTemplate);
    auto* templateLabel = new QLabel(qs(texts::kTemplateLabel), group);
    templateLabel->setBuddy(m_templatePath);
    // The template's controls line up under the text of "nach Vorlage".
    const int indent =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    auto* templateRow = new QHBoxLayout;
    templateRow->addSpacing(indent);
    templateRow->addWidget(templateLabel);
    templateRow->addWidget(m_templatePath, 1);
    templateRow->addWidget(m_browse);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_xml);
    layout->addLayout(csvRow);
    layout->addWidget(m_byTemplate);
    layout->addLayout(templateRow);
    return group;
}

QGroupBox* ExportDialog::buildElementsGroup()
{
    auto* group = new QGroupBox(qs(texts::kElementsFrame), this);
    m_hits = named(new QCheckBox(qs(texts::kHits), group), "exportHits");
    m_errors = named(new QCheckBox(qs(texts::kErrors), group), "exportErrors");
    m_fileNames = named(new QCheckBox(qs(texts::kFileNames), group), "exportFileNames");
    m_dirNames = named(new QCheckBox(qs(texts::kDirNames), group), "exportDirNames");
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_hits);
    layout->addWidget(m_errors);
    layout->addWidget(m_fileNames);
    layout->addWidget(m_dirNames);
    return group;
}

void ExportDialog::showSettings()
{
    const ExportSettings& settings = m_logic.settings();
    switch (settings.type) {
    case ExportType::Xml: m_xml->setChecked(true); break;
    case ExportType::Csv: m_csv->setChecked(true); break;
    case ExportType::Template: m_byTemplate->setChecked(true); break;
    }
    m_separator->setText(fromStoredText(settings.separator));
    m_templatePath->setText(fromPath(settings.templatePath));
    m_templatePath->setCursorPosition(0);  // the start of a long path says more than its end
    m_hits->setChecked(settings.elements & ExportElement::Hits);
    m_errors->setChecked(settings.elements & ExportElement::Errors);
    m_fileNames->setChecked(settings.elements & ExportElement::FileNames);
    m_dirNames->setChecked(settings.elements & ExportElement::DirNames);
}

void ExportDialog::connectControls()
{
    // Connected after the controls were filled, so filling changes nothing.
    connect(m_separator, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.setSeparator(toStoredText(text)); });
    connect(m_templatePath, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.setTemplatePath(toPath(text)); });
    const std::pair<QCheckBox*, int> elements[] = {{m_hits, ExportElement::Hits},
                                                   {m_errors, ExportElement::Errors},
                                                   {m_fileNames, ExportElement::FileNames},
                                                   {m_dirNames, ExportElement::DirNames}};
    for (const auto& [box, bit] : elements)
        connect(box, &QCheckBox::toggled, this, [this, bit](bool on) { m_logic.setElement(bit, on); });
}

void ExportDialog::applyEnabling()
{
    const ExportFieldStates states = m_logic.fieldStates();
    m_separator->setEnabled(states.separator);
    m_templatePath->setEnabled(states.templatePath);
    m_browse->setEnabled(states.browseTemplate);
}

void ExportDialog::browseTemplate()
{
    const std::optional<std::string> chosen = m_prompts->chooseTemplateFile(this, m_logic.browseDialog());
    if (!chosen) return;
    m_templatePath->setText(fromPath(*chosen));
    m_templatePath->setCursorPosition(0);
}

void ExportDialog::accept()
{
    if (const Expected<void> accepted = m_logic.accept(); !accepted) {
        m_prompts->showRefusal(this, QString::fromUtf8(accepted.error().detail));
        return;
    }
    // As typed: "\t" stays two characters here and becomes a tab only in
    // what the writer is given.
    IgnoreFailure(settings::WriteExportSettings(m_store, m_logic.settings()));
    QDialog::accept();
}

}  // namespace tarnwick::ui
