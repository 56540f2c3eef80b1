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

// Types text one character at a time, as a keyboard or an input method would; unlike
// QTest::keyClicks it also takes characters beyond ASCII.
inline void TypeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, length));
        QApplication::sendEvent(widget, &press);
        i += length - 1;
    }
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
