#include "ui/replacepreview/ReplacePreviewDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/common/EngineText.h"
#include "ui/replacepreview/ReplacePreviewTexts.h"

namespace tarnwick::ui {
namespace {

const QColor kRemovedBackground(0xff, 0xdc, 0xdc);
const QColor kAddedBackground(0xd8, 0xf5, 0xd8);

QString entryRowText(const PreviewEntry& entry)
{
    if (entry.kind == PreviewEntryKind::Error) return qs(previewtext::kErrorPrefix) + fromStoredText(entry.path);
    QString text = fromPath(entry.path);
    if (!entry.newName.empty()) text += qs(previewtext::kRenameArrow) + fromPath(entry.newName);
    return text + QStringLiteral("  (") + qs(previewtext::CountText(entry).c_str()) + QStringLiteral(")");
}

void addLine(QTextCursor& cursor, const QString& text, const QColor& background, bool first)
{
    QTextBlockFormat block;
    if (background.isValid()) block.setBackground(background);
    if (first)
        cursor.setBlockFormat(block);
    else
        cursor.insertBlock(block);
    cursor.insertText(text);
}

}  // namespace

ReplacePreviewDialog::ReplacePreviewDialog(std::shared_ptr<const ReplacePreviewCollector> preview, QWidget* parent)
    : QDialog(parent), m_preview(std::move(preview))
{
    setObjectName(QStringLiteral("replacePreviewDialog"));
    setWindowTitle(qs(previewtext::kTitle));
    const std::vector<PreviewEntry>& entries = m_preview->entries();
    const std::size_t changed = m_preview->changedCount();

    m_summary = new QLabel(qs(previewtext::Summary(m_preview->totalReplacements(), changed, entries.size() - changed).c_str()));
    m_summary->setWordWrap(true);
    m_files = new QListWidget;
    m_files->setObjectName(QStringLiteral("previewFiles"));
    for (const PreviewEntry& entry : entries) m_files->addItem(entryRowText(entry));
    m_changes = new QTextEdit;
    m_changes->setObjectName(QStringLiteral("previewChanges"));
    m_changes->setReadOnly(true);
    m_changes->setLineWrapMode(QTextEdit::NoWrap);
    m_changes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_files);
    split->addWidget(m_changes);
    split->setStretchFactor(1, 2);

    auto* buttons = new QDialogButtonBox;
    m_replace = buttons->addButton(qs(previewtext::kReplaceButton), QDialogButtonBox::AcceptRole);
    m_replace->setObjectName(QStringLiteral("previewReplace"));
    m_replace->setEnabled(changed > 0);
    m_cancel = buttons->addButton(qs(previewtext::kCancelButton), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("previewCancel"));
    // Nothing is written by a stray Enter.
    m_cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(820, 600);

    connect(m_files, &QListWidget::currentRowChanged, this, &ReplacePreviewDialog::showEntry);
    if (!entries.empty()) m_files->setCurrentRow(0);
}

void ReplacePreviewDialog::showEntry(int row)
{
    m_changes->clear();
    const std::vector<PreviewEntry>& entries = m_preview->entries();
    if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) return;
    const PreviewEntry& entry = entries[static_cast<std::size_t>(row)];
    QTextCursor cursor(m_changes->document());
    addLine(cursor, entryRowText(entry), QColor(), true);
    bool firstBlock = true;
    for (const PreviewBlock& block : entry.blocks) {
        // A gap between blocks stands for the unchanged lines between them.
        if (!firstBlock) addLine(cursor, QStringLiteral("⋯"), QColor(), false);
        firstBlock = false;
        for (const PreviewLine& line : block.removed)
            addLine(cursor, qs(previewtext::LineLabel(false, line.number).c_str()) + fromStoredText(line.text),
                    kRemovedBackground, false);
        for (const PreviewLine& line : block.added)
            addLine(cursor, qs(previewtext::LineLabel(true, line.number).c_str()) + fromStoredText(line.text), kAddedBackground,
                    false);
    }
    const std::string note = previewtext::NoteText(entry);
    if (!note.empty()) addLine(cursor, qs(note.c_str()), QColor(), false);
    m_changes->moveCursor(QTextCursor::Start);
}

}  // namespace tarnwick::ui
