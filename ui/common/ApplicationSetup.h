#pragma once

class QTranslator;

namespace tarnwick::ui {

// What every window program of Tarnwick sets up after its QApplication
// exists: the German locale and the toolkit's German texts (through
// `toolkitTexts`, which must live as long as the application), the names
// its settings go under, one look on every desktop, the program icon, a
// wheel that scrolls forms without changing the boxes it passes over, and
// dialogs as wide as their titles, file dialogs with German sizes and dates.
void SetUpApplication(QTranslator& toolkitTexts);

}  // namespace tarnwick::ui
