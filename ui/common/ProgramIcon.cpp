#include "ui/common/ProgramIcon.h"

// Resources of a static library must be registered by name, outside any namespace.
static void InitProgramIconResource()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    Q_INIT_RESOURCE(AppIcon);
}

namespace tarnwick::ui {

QIcon ProgramIcon()
{
    InitProgramIconResource();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/tarnwick/icons/tarnwick-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tarnwick::ui
