// The XML format of the export, built with CXmlDocument and saved in one piece.
#include "results/ExportFile.h"
#include "results/ExportSelection.h"
#include "results/ResultsExport.h"
#include "results/XmlDocument.h"

namespace tarnwick {
namespace {

const char* flag(bool on) { return on ? "1" : "0"; }

void addFileWithHits(CXmlDocument& document, const ResultList& list, ItemHandle file)
{
    document.AddElement("DATEI");
    document.SetAttribute(document.CurrentElement(), "pfad", list.ColumnText(file, ResultColumn::FileOrContext));
    document.EnterElement();
    std::int64_t written = 0;
    for (ItemHandle hit = list.FirstChild(file); hit != kNoItem; hit = list.NextSibling(hit)) {
        document.AddElement("GEFUNDEN", list.ColumnText(hit, ResultColumn::FileOrContext));
        const int element = document.CurrentElement();
        document.SetAttribute(element, "pos", list.ColumnText(hit, ResultColumn::Position));
        const std::string remark = list.ColumnText(hit, ResultColumn::Remark);
        if (!remark.empty()) document.SetAttribute(element, "fehler", remark);
        ++written;
    }
    document.LeaveElement();
    document.SetInt64Attribute(document.CurrentElement(), "eintraege_gefunden", written);
}

}  // namespace

void BuildXmlExport(CXmlDocument& document, const RunValues& run, const ResultList& list, const ExportFilter& filter)
{
    document.AddElement("XML");
    document.EnterElement();
    document.AddElement("SUCHPFAD", run.searchPath);
    document.AddElement("SUCHEN", run.searchText);
    if (run.wasReplaceRun) document.AddElement("ERSETZEN", run.replacementText);

    document.AddElement("OPTIONEN");
    const int options = document.CurrentElement();
    document.SetAttribute(options, "grosschreibung", flag(run.matchCase));
    document.SetAttribute(options, "dateiinhalt", flag(run.searchContents));
    document.SetAttribute(options, "verzname", flag(run.searchDirNames));
    document.SetAttribute(options, "dateinamen", flag(run.searchFileNames));
    document.SetAttribute(options, "ganze_woerter", flag(run.wholeWords));
    document.SetAttribute(options, "reg_ausdruck", flag(run.regularExpression));
    document.SetAttribute(options, "sonderzeichen", flag(run.specialCharacters));
    // Before the counts it qualifies; absent when there is nothing to say,
    // so the export of a whole run stays as it was.
    if (!run.notice.empty()) document.AddElement("HINWEIS", run.notice);

    document.AddElement("ERGEBNISSE");
    const int results = document.CurrentElement();
    document.SetInt64Attribute(results, "dateien_durchsucht", run.filesSearched);
    document.SetInt64Attribute(results, "dateien_gefunden", run.filesFound);
    document.SetInt64Attribute(results, "eintraege_gefunden", run.entriesFound);
    document.EnterElement();

    const std::size_t count = list.TopLevelCount();
    for (std::size_t row = 0; row < count; ++row) {
        const ItemHandle item = list.TopLevelItem(row);
        switch (ClassifyForExport(list, item, filter)) {
        case ExportedAs::FileWithHits:
        case ExportedAs::FileWithoutHits: addFileWithHits(document, list, item); break;
        case ExportedAs::Error:
            document.AddElement("FEHLER");
            document.SetAttribute(document.CurrentElement(), "pfad", list.ColumnText(item, ResultColumn::FileOrContext));
            document.SetAttribute(document.CurrentElement(), "meldung", list.ColumnText(item, ResultColumn::Remark));
            break;
        case ExportedAs::FileNameHit:
            document.AddElement("DATEINAMEN");
            document.SetAttribute(document.CurrentElement(), "pfad", list.ColumnText(item, ResultColumn::FileOrContext));
            break;
        case ExportedAs::DirNameHit:
            document.AddElement("VERZEICHNISNAMEN");
            document.SetAttribute(document.CurrentElement(), "pfad", list.ColumnText(item, ResultColumn::FileOrContext));
            break;
        case ExportedAs::Nothing: break;
        }
    }
    document.LeaveElement();
    document.LeaveElement();
}

Expected<void> ExportXml(const std::string& targetPath, const RunValues& run, const ResultList& list, const ExportFilter& filter)
{
    CXmlDocument document;
    BuildXmlExport(document, run, list, filter);
    // A file that cannot be created ends the export without a message; one
    // that was created but not written whole (disk full) must not pass for
    // a finished export, so that failure is told.
    ExportFile file;
    if (const std::error_code rc = file.create(targetPath)) return systemFailure(rc);
    std::error_code rc = file.write(document.composeFileContents());
    if (!rc) rc = file.close();
    if (rc) return exportFailure(targetPath, rc);
    return succeeded();
}

}  // namespace tarnwick
