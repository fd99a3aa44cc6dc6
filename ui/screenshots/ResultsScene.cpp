// The results pane after a search, with an item of every kind: info lines,
// files with hits (one expanded, a hit marked and selected), a replaced hit,
// an error, a file-name and a directory-name hit, and a document with a hit
// replaced through the word processor.
#include <QItemSelectionModel>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "engine/log/RunLog.h"
#include "results/ResultList.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsPane.h"
#include "ui/results/ResultsTreeView.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

// A hit whose highlight covers `word` inside `context` (byte offsets, as the
// search reports them).
ItemHandle addHit(ResultList& list, std::int64_t position, std::string_view context, std::string_view word)
{
    const auto start = static_cast<std::int32_t>(context.find(word));
    const auto length = static_cast<std::int32_t>(word.size());
    return list.AddHitItem(position, length, context, start, ItemKind::None, -1);
}

void fill(ResultList& list)
{
    list.AddFileItem(SearchHeaderLine("grüße"), ItemKind::Info);
    const ItemHandle letter = list.AddNoteItem("/home/anna/briefe/weihnachten.txt", ItemKind::File, 4);
    addHit(list, 118, "Viele liebe Grüße aus dem verschneiten Harz", "Grüße");
    addHit(list, 402, "P.S.: Grüße auch an Jürgen und die Kinder!", "Grüße");
    const ItemHandle replaced = addHit(list, 977, "Herzliche Grüße, Eure Anna", "Grüße");
    list.UpdateItem(replaced, ResultColumn::FileOrContext, UpdateWhat::Kind, "", ItemKind::Replaced);
    list.SetChecked(letter + 1, true);

    list.AddNoteItem("/home/anna/briefe/ämter/finanzamt.txt", ItemKind::File, 1);
    addHit(list, 55, "Mit freundlichen Grüßen", "Grüße");
    list.AddFileItem("/home/anna/briefe/gesperrt.txt", ItemKind::Error);
    list.UpdateItem(list.CurrentFileItem(), ResultColumn::Remark, UpdateWhat::TextAndKind,
                    "Kann Datei nicht öffnen: Keine Berechtigung", ItemKind::Error);
    const ItemHandle name = list.AddFileItem("/home/anna/briefe/grüße-2024.txt", ItemKind::FileNameHit);
    list.SetItemColumnText(name, "Im Dateinamen gefunden", ResultColumn::Remark);
    const ItemHandle dir = list.AddFileItem("/home/anna/grüße", ItemKind::DirNameHit);
    list.SetItemColumnText(dir, "Im Verzeichnisnamen gefunden", ResultColumn::Remark);
    list.AddFileItem("/home/anna/briefe/einladung.docx", ItemKind::Document);
    const ItemHandle docHit = addHit(list, 311, "Wir senden euch herzliche Grüße und freuen uns", "Grüße");
    list.UpdateItem(docHit, ResultColumn::FileOrContext, UpdateWhat::Kind, "", ItemKind::DocumentReplaced);
    list.AddFileItem(SearchSummary(6, 4), ItemKind::Info);
}

// The pane over the filled list, arranged by `arrange` before the shot.
void renderPane(const QString& pngPath, const std::function<void(ui::ResultsPane&)>& arrange)
{
    auto list = std::make_shared<ResultList>();
    fill(*list);
    ui::ResultsPane pane(list);
    pane.setWindowTitle(QStringLiteral("Ergebnisse"));
    pane.setLastRunWasSearch(true);
    pane.resize(1120, 380);
    pane.catchUp();
    arrange(pane);
    SaveWindowShot(pane, pngPath);
}

void RenderResults(const QString& pngPath)
{
    renderPane(pngPath, [](ui::ResultsPane& pane) {
        ui::ResultsTreeView* view = pane.view();
        const ui::ResultsModel* model = pane.model();
        view->expand(model->index(1, 0));
        view->expand(model->index(6, 0));
        view->selectionModel()->select(model->index(0, 0, model->index(1, 0)),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
}

// The same list filtered down to the hit that mentions Jürgen.
void RenderFilteredResults(const QString& pngPath)
{
    renderPane(pngPath, [](ui::ResultsPane& pane) { pane.filterField()->setText(QStringLiteral("jürgen")); });
}

const SceneRegistration kResults{QStringLiteral("results"), &RenderResults};
const SceneRegistration kFilteredResults{QStringLiteral("results-filtered"), &RenderFilteredResults};

}  // namespace
}  // namespace tarnwick::screenshots
