#include "ui/common/ApplicationSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include "ui/common/DialogAdjuster.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/WheelGuard.h"

namespace tarnwick::ui {

void SetUpApplication(QTranslator& toolkitTexts)
{
    // The program speaks German: dates, numbers and the toolkit's own dialogs
    // (file dialogs, standard buttons) follow, whatever language the desktop
    // has, as QLocale() is German from here on. Without the translations
    // (package qt6-translations-l10n) the toolkit's texts stay English.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (toolkitTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);
    QApplication::setOrganizationName(QStringLiteral("Korvane"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // One look on every desktop: the drawing styles are style sheets on top of it.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(ProgramIcon());
    qApp->installEventFilter(new WheelGuard(qApp));
    qApp->installEventFilter(new DialogAdjuster(qApp));
}

}  // namespace tarnwick::ui
