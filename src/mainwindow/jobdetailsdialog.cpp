// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/jobdetailsdialog.h"

#include "batch/statuswords.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QLabel *selectableLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setWordWrap(true);
    return label;
}

QPlainTextEdit *monospaceText(const QString &objectName, const QString &text)
{
    auto *edit = new QPlainTextEdit;
    edit->setObjectName(objectName);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Some platforms name no fixed font and give the ordinary one instead. Measured,
    // not asked: fontconfig calls some monospace families (Noto Sans Mono) proportional.
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(QLatin1Char('i')) != metrics.horizontalAdvance(QLatin1Char('M'))) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    edit->setFont(font);
    edit->setPlainText(text);
    return edit;
}

} // namespace

JobDetailsDialog::JobDetailsDialog(const JobReport &report, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("JobDetailsDialog"));
    // "[*]" in a title marks where a modified document's star goes.
    setWindowTitle(tr("Details: %1")
                       .arg(QFileInfo(report.inputPath).fileName().replace(QLatin1String("[*]"),
                                                                            QLatin1String("[*][*]"))));
    setSizeGripEnabled(true);
    resize(720, 480);

    auto *facts = new QFormLayout;
    facts->addRow(tr("File:"), selectableLabel(report.inputPath));
    QString ending = statusText(report.status);
    const QString why = report.explanation();
    if (!why.isEmpty())
        ending += QStringLiteral(": ") + why;
    facts->addRow(tr("Result:"), selectableLabel(ending));
    if (!report.outputPath.isEmpty())
        facts->addRow(tr("Output:"), selectableLabel(QDir::cleanPath(report.outputPath)));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addWidget(new QLabel(tr("Command line:")));
    QPlainTextEdit *command = monospaceText(
        QStringLiteral("plainTextEdit_Command"),
        report.commandLine.isEmpty() ? tr("No encoder ran for this file.") : report.commandLine);
    command->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    command->setMaximumHeight(command->fontMetrics().lineSpacing() * 4 + 12);
    layout->addWidget(command);
    layout->addWidget(new QLabel(tr("Encoder output:")));
    layout->addWidget(monospaceText(QStringLiteral("plainTextEdit_Output"), report.encoderOutput), 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
