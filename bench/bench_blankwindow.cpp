// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up baseline: a Qt Widgets program that shows an empty main window
// of Quillmere's size, and nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Blank"));
    window.resize(700, 500);
    window.show();
    return app.exec();
}
