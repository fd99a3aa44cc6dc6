#pragma once
// "Verzeichnis wählen": a modal dialog that picks a folder from a tree of
// the top-level folders (root, home, mounted volumes) and their
// subdirectories, read lazily when a folder is first opened. F2 renames the
// selected subdirectory in place. Nothing survives between two openings.
#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/dirchooser/DirectoryChooserAccess.h"

namespace tarnwick::ui {

struct ChooserChild;

// The folder tree; gives the dialog the index of an item and back.
class DirectoryChooserTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    QModelIndex indexOfItem(const QTreeWidgetItem* item) const { return indexFromItem(item); }
    QTreeWidgetItem* itemOfIndex(const QModelIndex& index) const { return itemFromIndex(index); }
};

class DirectoryChooserDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the message boxes; tests record the messages instead.
    using MessageSink = std::function<void(QMessageBox::Icon icon, const QString& text)>;

    // Opens on `presetPath` (selected when it names a folder of the tree).
    explicit DirectoryChooserDialog(const QString& presetPath, QWidget* parent = nullptr);
    DirectoryChooserDialog(const QString& presetPath, std::shared_ptr<DirectoryChooserAccess> access, QWidget* parent = nullptr);

    // The folder chosen with OK, without a trailing '/' ("/" for the root).
    QString chosenPath() const { return m_chosenPath; }

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    DirectoryChooserTree* tree() const { return m_tree; }
    // The folder an item stands for; empty for the top item.
    QString pathOf(const QTreeWidgetItem* item) const;

public slots:
    // OK: closes only with a folder selected.
    void accept() override;

private:
    void buildWidgets();
    void fillTree();
    void selectPreset(const QString& presetPath);
    void openForPreset(QTreeWidgetItem* item);
    // Reads the subdirectories of `item` the first time it is opened.
    void readItem(QTreeWidgetItem* item);
    QTreeWidgetItem* addDirectoryItem(QTreeWidgetItem* parent, const ChooserChild& child);
    std::string pathBytes(const QTreeWidgetItem* item) const;
    void reportLater(QTreeWidgetItem* item, const QString& message, bool removeItem);
    void showMessage(QMessageBox::Icon icon, const QString& text);

    void onItemExpanded(QTreeWidgetItem* item);
    void onItemCollapsed(QTreeWidgetItem* item);
    void onRightClick(const QPoint& position);
    void onRenameRequested(const QPersistentModelIndex& index, const QString& text);

    std::shared_ptr<DirectoryChooserAccess> m_access;
    std::vector<std::string> m_roots;
    DirectoryChooserTree* m_tree = nullptr;
    QTreeWidgetItem* m_top = nullptr;
    QString m_chosenPath;
    MessageSink m_messageSink;
};

// Opens the chooser modally on `presetPath`; the chosen folder, or nothing
// when the user cancelled.
std::optional<QString> ChooseDirectory(QWidget* parent, const QString& presetPath);

}  // namespace tarnwick::ui
