#pragma once
// Widget tests under GoogleTest's own main: one QApplication for the run (offscreen unless a
// platform is set, with the font substitutions), windows that really hold the focus, and keys typed
// into the focused widget.
#include "tessel/Fonts.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace vendra::test {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "widget_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationDisplayName(QStringLiteral("Vendra"));
        tessel::registerFontSubstitutions();
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};
inline ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Shows `w`, makes it the active window and waits until it is.
inline bool showActive(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Gives `w` the focus and waits until it has it.
inline bool focusOn(QWidget* w, Qt::FocusReason why = Qt::OtherFocusReason) {
    w->setFocus(why);
    return QTest::qWaitFor([w] { return w->hasFocus(); });
}

// The focused widget; after a modal window the application takes a moment to activate the window again.
inline QWidget* focused() {
    (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
    return QApplication::focusWidget();
}

// Sends one key, or types `text`, to the focused widget with real key events.
inline void key(int qtKey, int modifiers = 0) {
    QWidget* w = focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClick(w, Qt::Key(qtKey), Qt::KeyboardModifiers(modifiers));
}
inline void typeText(const QString& text) {
    QWidget* w = focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClicks(w, text);
}

}  // namespace vendra::test
