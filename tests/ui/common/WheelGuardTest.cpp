// The wheel over drop-downs and spin boxes: it scrolls past them unless the
// user has put the focus there.
#include "ui/common/WheelGuard.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "tests/ui/support/QtApp.h"

namespace tarnwick::ui {
namespace {

class WheelGuardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        qApp->installEventFilter(&guard);
        combo = new QComboBox(&window);
        combo->addItems({QStringLiteral("Tagen"), QStringLiteral("Stunden")});
        spin = new QSpinBox(&window);
        spin->setRange(1, 99);
        spin->setValue(14);
        date = new QDateEdit(QDate(2024, 3, 14), &window);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* box : {static_cast<QWidget*>(combo), static_cast<QWidget*>(spin), static_cast<QWidget*>(date)})
            layout->addWidget(box);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void TearDown() override { qApp->removeEventFilter(&guard); }

    // One notch of the wheel towards the user, as a mouse sends it.
    static void turnWheel(QWidget* target)
    {
        const QPointF centre = QRectF(target->rect()).center();
        QWheelEvent wheel(centre, target->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    WheelGuard guard;
    QWidget window;
    QComboBox* combo = nullptr;
    QSpinBox* spin = nullptr;
    QDateEdit* date = nullptr;
};

TEST_F(WheelGuardTest, TheWheelStepsOnlyTheBoxThatHasTheFocus)
{
    spin->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spin->hasFocus(); }));
    turnWheel(combo);
    turnWheel(date);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(date->date(), QDate(2024, 3, 14));
    turnWheel(spin);
    EXPECT_EQ(spin->value(), 13);

    combo->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->hasFocus(); }));
    turnWheel(combo);
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST_F(WheelGuardTest, BoxesNoLongerTakeTheFocusByTheWheel)
{
    // Polished after the guard was installed, as every box of the program is.
    auto* later = new QComboBox(&window);
    later->ensurePolished();
    EXPECT_EQ(later->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(combo->focusPolicy(), Qt::StrongFocus);
}

}  // namespace
}  // namespace tarnwick::ui
