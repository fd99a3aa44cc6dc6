#include "ui/OptionsDialogPrompts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QMessageBox>

#include "ui/OptionsDialogTexts.h"

namespace tarnwick::ui {

WarningAnswer MessageBoxOptionsPrompts::askWarning(const std::string& message)
{
    namespace texts = text::options;
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::kWarningTitle), QString::fromStdString(message),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(texts::kOk));
    box.button(QMessageBox::Cancel)->setText(QString::fromUtf8(texts::kCancel));
    box.setDefaultButton(QMessageBox::Ok);
    // Owned by the box.
    auto* optOut = new QCheckBox(QString::fromUtf8(texts::kWarningOptOut));
    box.setCheckBox(optOut);
    const bool confirmed = box.exec() == QMessageBox::Ok;
    // Taken whichever button closed the box.
    return WarningAnswer{confirmed, optOut->isChecked()};
}

}  // namespace tarnwick::ui
