// "Ausdruck testen" on a line of settings: an expression with a named group,
// a replacement with case changes, the cursor on the second hit.
#include <QTemporaryDir>

#include "platform/CodePage.h"
#include "ui/app/ProgramWindow.h"
#include "ui/expressiontester/ExpressionTesterDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::screenshots {
namespace {

void RenderExpressionTester(const QString& pngPath)
{
    QTemporaryDir dir;
    ui::ProgramSetup setup;
    setup.profilePath = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    ui::ProgramWindow window(setup);
    ui::SearchFormController& form = window.controller();
    form.changeFields([](settings::FormState& fields) {
        fields.searchTexts.text = "(?<name>\\w+)=(\\d+)";
        fields.replaceTexts.text = "\\U${name}\\E: $2";
        fields.regularExpression = 1;
        fields.replacementCaptures = 1;
    });
    const ui::TesterSample sample{"breite=12\nhoehe=7\nfarbe=rot\ntiefe=30", 11};
    ui::ExpressionTesterDialog dialog(form, sample, CodePage::system());
    dialog.resize(760, 560);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kExpressionTester{QStringLiteral("expression-tester"), &RenderExpressionTester};

}  // namespace
}  // namespace tarnwick::screenshots
