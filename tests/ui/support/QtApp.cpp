#include "tests/ui/support/QtApp.h"

#include <QApplication>

namespace tarnwick::test {

void EnsureQtApp()
{
    if (QApplication::instance() != nullptr) return;
    // QApplication keeps references to argc and argv: both must outlive it.
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

}  // namespace tarnwick::test
