#include "ui/crashreport/CrashReportContentsDialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "crash/ReportPreview.h"
#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::crashreport;

enum Column { NameColumn, DescriptionColumn, TypeColumn, SizeColumn, ColumnCount };

}  // namespace

FileOpener DesktopFileOpener()
{
    return [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

ContentsRow ContentsRowFor(const crash::ReportFile& file)
{
    const QString path = fromPath(file.path);
    const QFileInfo info(path);
    ContentsRow row;
    row.name = info.fileName();
    row.description = QString::fromStdString(file.description);
    row.type = QMimeDatabase().mimeTypeForFile(info).comment();
    const auto bytes = static_cast<std::uint64_t>(info.exists() ? info.size() : 0);
    row.size = qs(texts::kSizeFormat).arg(crash::SizeInKilobytes(bytes));
    return row;
}

QString ContentsTextFor(const QString& path)
{
    const crash::FilePreview preview = crash::MakePreview(crash::ReadPreviewBytes(toPath(path)));
    if (preview.isText) return QString::fromLocal8Bit(preview.text.data(), static_cast<qsizetype>(preview.text.size()));
    // One character per byte keeps the dump's columns; the field breaks lines itself.
    QString dump = QString::fromLatin1(preview.text.data(), static_cast<qsizetype>(preview.text.size()));
    dump.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return dump;
}

CrashReportContentsDialog::CrashReportContentsDialog(std::vector<crash::ReportFile> files, FileOpener opener, QWidget* parent)
    : QDialog(parent), m_files(std::move(files)), m_opener(std::move(opener))
{
    setWindowTitle(qs(texts::kContentsTitle));
    auto* layout = new QVBoxLayout(this);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("reportFiles"));
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels(
        {qs(texts::kColumnName), qs(texts::kColumnDescription), qs(texts::kColumnType), qs(texts::kColumnSize)});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    const QFileIconProvider icons;
    for (const crash::ReportFile& file : m_files) {
        const ContentsRow row = ContentsRowFor(file);
        auto* item = new QTreeWidgetItem(m_list, {row.name, row.description, row.type, row.size});
        item->setIcon(NameColumn, icons.icon(QFileInfo(fromPath(file.path))));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < ColumnCount; ++column) m_list->resizeColumnToContents(column);
    m_list->setMaximumHeight(m_list->sizeHintForRow(0) * 5 + m_list->header()->sizeHint().height() + 8);
    layout->addWidget(m_list);

    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("reportFilePath"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("reportFileDescription"));
    layout->addWidget(m_path);
    layout->addWidget(m_description);

    m_contents = new QPlainTextEdit(this);
    m_contents->setObjectName(QStringLiteral("reportFileContents"));
    m_contents->setReadOnly(true);
    m_contents->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_contents->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A hex dump line (about 70 characters) fits without scrolling.
    m_contents->setMinimumWidth(m_contents->fontMetrics().horizontalAdvance(QString(76, QLatin1Char('0'))));
    layout->addWidget(m_contents, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { showFile(item ? m_list->indexOfTopLevelItem(item) : -1); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openFile(m_list->indexOfTopLevelItem(item)); });
    resize(640, 480);
    selectFile(0);
}

void CrashReportContentsDialog::selectFile(int row)
{
    if (QTreeWidgetItem* item = m_list->topLevelItem(row)) m_list->setCurrentItem(item);
}

void CrashReportContentsDialog::showFile(int row)
{
    if (row < 0 || row >= static_cast<int>(m_files.size())) {
        m_path->clear();
        m_description->clear();
        m_contents->clear();
        return;
    }
    const crash::ReportFile& file = m_files[static_cast<std::size_t>(row)];
    m_path->setText(fromPath(file.path));
    m_description->setText(QString::fromStdString(file.description));
    m_contents->setPlainText(ContentsTextFor(fromPath(file.path)));
}

void CrashReportContentsDialog::openFile(int row)
{
    if (row < 0 || row >= static_cast<int>(m_files.size()) || !m_opener) return;
    m_opener(fromPath(m_files[static_cast<std::size_t>(row)].path));
}

}  // namespace tarnwick::ui
