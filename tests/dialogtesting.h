// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QTranslator>

#include <functional>

// Translates every text into "<context>text", so a test sees which texts are
// looked up, and in which context.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        return QStringLiteral("<%1>%2").arg(QString::fromUtf8(context), QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

// Modal dialogs such as QMessageBox::aboutQt and QFileDialog's static calls run
// their own event loop. While it lives, this hands the first modal dialog of
// type Dialog that opens to `handle`, from inside that loop, and rejects the
// dialog if `handle` left it open, so that no test waits forever.
template <typename Dialog>
class WhenModal
{
public:
    explicit WhenModal(std::function<void(Dialog *)> handle) : handle(std::move(handle))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(10);
    }
    bool handled() const { return done; }

private:
    void poll()
    {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || done)
            return;
        done = true;
        timer.stop();
        handle(dialog);
        if (dialog->isVisible())
            dialog->reject();
    }

    std::function<void(Dialog *)> handle;
    QTimer timer;
    bool done = false;
};
