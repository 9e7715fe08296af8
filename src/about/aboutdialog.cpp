// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/aboutdialog.h"
#include "ui_aboutdialog.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

QString link(const QString &url, const QString &text)
{
    return QStringLiteral("<a href=\"%1\"><span style=\"text-decoration: underline; "
                          "color:#007af4;\">%2</span></a>")
        .arg(url.toHtmlEscaped(), text.toHtmlEscaped());
}

QString paragraph(const QString &content, const QString &type = QString())
{
    return QStringLiteral("<p style=\"%1margin-top:0px; margin-bottom:0px; margin-left:0px; "
                          "margin-right:0px;\">%2</p>")
        .arg(type, content);
}

// The text continues the application name shown above it. The project's own
// addresses come from the build, so that a packager can point them elsewhere.
QString aboutText()
{
    const QString emptyLine =
        paragraph(QStringLiteral("<br />"), QStringLiteral("-qt-paragraph-type:empty; "));
    return QStringLiteral("<html><body style=\"font-family:'Noto Sans'; font-size:10pt; "
                          "font-weight:400; font-style:normal;\">")
        + paragraph(QStringLiteral("is a graphical audio converter built with Qt and FFmpeg."))
        + emptyLine
        + paragraph(QStringLiteral("You can find the source code on ")
                    + link(QStringLiteral(QUILLMERE_SOURCE_URL),
                           QStringLiteral(QUILLMERE_SOURCE_SITE))
                    + QStringLiteral("."))
        + paragraph(QStringLiteral("There is also a ")
                    + link(QStringLiteral(QUILLMERE_WIKI_URL), QStringLiteral("Wiki"))
                    + QStringLiteral(" if you need help."))
        + paragraph(QStringLiteral("If you found a bug you can ")
                    + link(QStringLiteral(QUILLMERE_ISSUES_URL), QStringLiteral("report an issue"))
                    + QStringLiteral("."))
        + emptyLine
        + paragraph(QStringLiteral(
            "<span style=\"font-size:12pt; text-decoration: underline;\">Legal</span>"))
        + paragraph(QStringLiteral("Copyright \u00a9 Orvandel"))
        + paragraph(QStringLiteral("This program is free software under the ")
                    + link(QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"),
                           QStringLiteral("GNU General Public License"))
                    + QStringLiteral(", version 3 or any later version (GPL-3.0-or-later). "
                                     "It comes with absolutely no warranty."))
        + emptyLine
        + paragraph(QStringLiteral("It uses:"))
        + paragraph(QStringLiteral("- ") + link(QStringLiteral("https://www.qt.io"), QStringLiteral("Qt"))
                    + QStringLiteral(" (click the about Qt button below)"))
        + paragraph(QStringLiteral("- ")
                    + link(QStringLiteral("https://ffmpeg.org"), QStringLiteral("FFmpeg"))
                    + QStringLiteral(" (see ")
                    + link(QStringLiteral("https://ffmpeg.org/legal.html"), QStringLiteral("legal"))
                    + QStringLiteral(")"))
        + QStringLiteral("</body></html>");
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->label_Appname->setText(QCoreApplication::applicationName());
    ui->label_Version->setText(QStringLiteral("v") + QCoreApplication::applicationVersion());
    ui->label_Developer->setText(tr("developed by") + QLatin1Char(' ')
                                 + QCoreApplication::organizationName());
    ui->textBrowser->setHtml(aboutText());
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

void AboutDialog::on_pushButton_AboutQt_clicked()
{
    // An empty title gives the toolkit's own.
    QMessageBox::aboutQt(this, QString());
}

void AboutDialog::on_pushButton_Close_clicked()
{
    close();
}
