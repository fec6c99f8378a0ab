#pragma once
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <functional>

// The error number a call raises, 0 when it raises none; the description goes to `text`.
inline int errorNumber(const std::function<void()>& f, QString* text = nullptr) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        if (text) *text = e.description();
        return e.number();
    }
    return 0;
}
