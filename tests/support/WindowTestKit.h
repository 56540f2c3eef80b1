// Small aids for driving windows in tests: controls by name, modal windows answered from a timer.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest/QtTest>
#include <functional>

namespace vardex::testing {

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromUtf8(name));
    if (!child) {
        qFatal("no control named %s", name);
    }
    return child;
}

// Runs act on the next modal window once it is open (the caller then opens it with exec()).
inline void OnNextModal(std::function<void(QWidget*)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            *poll = nullptr;  // break the cycle
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace vardex::testing
