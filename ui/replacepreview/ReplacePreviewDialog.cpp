#include "ui/replacepreview/ReplacePreviewDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/common/EngineText.h"
#include "ui/replacepreview/PreviewEntryModel.h"
#include "ui/replacepreview/ReplacePreviewTexts.h"

namespace tarnwick::ui {
namespace {

const QColor kRemovedBackground(0xff, 0xdc, 0xdc);
const QColor kAddedBackground(0xd8, 0xf5, 0xd8);
// The part of a line that differs from its counterpart.
const QColor kRemovedStretch(0xf5, 0x9e, 0x9e);
const QColor kAddedStretch(0x96, 0xdc, 0x96);

void addLine(QTextCursor& cursor, const QString& text, const QColor& background, bool first)
{
    QTextBlockFormat block;
    if (background.isValid()) block.setBackground(background);
    if (first)
        cursor.setBlockFormat(block);
    else
        cursor.insertBlock(block);
    cursor.insertText(text, QTextCharFormat());
}

// A changed line: its label, then its text with the differing stretches
// marked. The stretches end on character boundaries, so the pieces convert
// one by one to what the whole line converts to.
void addChangedLine(QTextCursor& cursor, bool added, const PreviewLine& line)
{
    addLine(cursor, qs(previewtext::LineLabel(added, line.number).c_str()), added ? kAddedBackground : kRemovedBackground, false);
    QTextCharFormat marked;
    marked.setBackground(added ? kAddedStretch : kRemovedStretch);
    const std::string_view text = line.text;
    std::size_t done = 0;
    for (const ByteRange& range : line.changed) {
        if (range.begin < done || range.end > text.size()) break;  // not expected: ranges are sorted and inside
        cursor.insertText(fromStoredText(std::string(text.substr(done, range.begin - done))), QTextCharFormat());
        cursor.insertText(fromStoredText(std::string(text.substr(range.begin, range.end - range.begin))), marked);
        done = range.end;
    }
    cursor.insertText(fromStoredText(std::string(text.substr(done))), QTextCharFormat());
}

}  // namespace

ReplacePreviewDialog::ReplacePreviewDialog(std::shared_ptr<const ReplacePreviewCollector> preview, QWidget* parent)
    : QDialog(parent), m_preview(std::move(preview))
{
    setObjectName(QStringLiteral("replacePreviewDialog"));
    setWindowTitle(qs(previewtext::kTitle));
    const std::vector<PreviewEntry>& entries = m_preview->entries();
    const std::size_t changed = m_preview->changedCount();

    m_summary = new QLabel(
        qs(previewtext::Summary(m_preview->totalReplacements(), changed, entries.size() - changed, m_preview->backupCount())
               .c_str()));
    m_summary->setWordWrap(true);
    m_files = new QListView;
    m_files->setObjectName(QStringLiteral("previewFiles"));
    // Rows of one height: the view need not measure every row to lay out the list.
    m_files->setUniformItemSizes(true);
    m_files->setModel(new PreviewEntryModel(m_preview, m_files));
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

    connect(m_files->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showEntry(current.row()); });
    if (!entries.empty()) m_files->setCurrentIndex(m_files->model()->index(0, 0));
}

void ReplacePreviewDialog::showEntry(int row)
{
    m_changes->clear();
    const std::vector<PreviewEntry>& entries = m_preview->entries();
    if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) return;
    const PreviewEntry& entry = entries[static_cast<std::size_t>(row)];
    QTextCursor cursor(m_changes->document());
    addLine(cursor, PreviewEntryRowText(entry), QColor(), true);
    if (!entry.backupPath.empty()) addLine(cursor, qs(previewtext::kBackupLabel) + fromPath(entry.backupPath), QColor(), false);
    bool firstBlock = true;
    for (const PreviewBlock& block : entry.blocks) {
        // A gap between blocks stands for the unchanged lines between them.
        if (!firstBlock) addLine(cursor, QStringLiteral("⋯"), QColor(), false);
        firstBlock = false;
        for (const PreviewLine& line : block.removed) addChangedLine(cursor, false, line);
        for (const PreviewLine& line : block.added) addChangedLine(cursor, true, line);
    }
    const std::string note = previewtext::NoteText(entry);
    if (!note.empty()) addLine(cursor, qs(note.c_str()), QColor(), false);
    m_changes->moveCursor(QTextCursor::Start);
}

}  // namespace tarnwick::ui
