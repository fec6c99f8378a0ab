#include "TestSupport.h"

#include "tessel/Fonts.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tessel::test {

namespace {
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tessel_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        registerFontSubstitutions();
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] ::testing::Environment* const env = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace

bool showActive(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

QWidget* focused() { return QApplication::focusWidget(); }

void key(int qtKey, int modifiers) {
    // After a modal window the application takes a moment to activate the window again.
    (void)QTest::qWaitFor([] { return focused() != nullptr; }, 2000);
    QWidget* w = focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClick(w, Qt::Key(qtKey), Qt::KeyboardModifiers(modifiers));
}

void typeText(const QString& text) {
    (void)QTest::qWaitFor([] { return focused() != nullptr; }, 2000);
    QWidget* w = focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClicks(w, text);
}

}  // namespace tessel::test
