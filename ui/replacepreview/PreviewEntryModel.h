#pragma once
// The preview's file list as a model over the collector's entries: rows are
// made when the view draws them, so a list of a hundred thousand files
// opens as fast as one of ten.
#include <QAbstractListModel>

#include <memory>

#include "ui/replacepreview/ReplacePreviewCollector.h"

namespace tarnwick::ui {

// An entry's row: its path, new name and count, or its error.
QString PreviewEntryRowText(const PreviewEntry& entry);

class PreviewEntryModel final : public QAbstractListModel {
public:
    explicit PreviewEntryModel(std::shared_ptr<const ReplacePreviewCollector> preview, QObject* parent = nullptr)
        : QAbstractListModel(parent), m_preview(std::move(preview))
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const ReplacePreviewCollector> m_preview;
};

}  // namespace tarnwick::ui
