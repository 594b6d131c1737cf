#pragma once
// Acting on a window's controls by object name, and on the modal dialog a flow opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace almanary::testing {

template <typename W = QWidget>
W* child(const QWidget& window, const char* name) {
    W* widget = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void press(const QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// A key pressed on a control that has the focus, as the user does it.
inline void pressKey(const QWidget& window, const char* control, Qt::Key key = Qt::Key_Return) {
    child(window, control)->setFocus();
    QTest::keyClick(child(window, control), key);
}

// Chooses an entry as the user does, which also emits `activated`.
inline void pick(const QWidget& window, const char* list, const char* text) {
    QComboBox* combo = child<QComboBox>(window, list);
    const int index = combo->findText(QString::fromUtf8(text));
    ASSERT_GE(index, 0) << text;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The entries a list offers, in order.
inline std::vector<std::string> itemTexts(const QWidget& window, const char* list) {
    const QComboBox* combo = child<QComboBox>(window, list);
    std::vector<std::string> texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.push_back(combo->itemText(i).toStdString());
    return texts;
}

inline void setNotes(const QWidget& window, const char* notes) {
    child<QPlainTextEdit>(window, "notesEdit")->setPlainText(QString::fromUtf8(notes));
}

inline QString notesIn(const QWidget& window) {
    return child<QPlainTextEdit>(window, "notesEdit")->toPlainText();
}

// Acts on the modal dialog a flow opens, once up; dropped when `context` goes first.
template <typename Dialog>
void whenModal(QObject& context, std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, &context, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no modal dialog of the expected kind";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            return;
        }
        act(*dialog);
    });
}

}  // namespace almanary::testing
