#include "ui/replacepreview/PreviewEntryModel.h"

#include <climits>

#include "ui/common/EngineText.h"
#include "ui/replacepreview/ReplacePreviewTexts.h"

namespace tarnwick::ui {

QString PreviewEntryRowText(const PreviewEntry& entry)
{
    if (entry.kind == PreviewEntryKind::Error) return qs(previewtext::kErrorPrefix) + fromStoredText(entry.path);
    QString text = fromPath(entry.path);
    if (!entry.newName.empty()) text += qs(previewtext::kRenameArrow) + fromPath(entry.newName);
    return text + QStringLiteral("  (") + qs(previewtext::CountText(entry).c_str()) + QStringLiteral(")");
}

int PreviewEntryModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<std::size_t>(m_preview->entries().size(), INT_MAX));
}

QVariant PreviewEntryModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return PreviewEntryRowText(m_preview->entries()[static_cast<std::size_t>(index.row())]);
}

}  // namespace tarnwick::ui
