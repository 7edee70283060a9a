// Helpers of the window tests: running code once a modal window is up, and
// reading a printed PDF back as text.
#pragma once

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace ov::test {

// Runs `action` with the active modal window as soon as one is shown (while
// the caller sits in its modal loop); gives up after about five seconds.
inline void WhenModalShown(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal != nullptr && modal->isVisible()) || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (modal != nullptr)
                action(modal);
        }
    });
    timer->start(10);
}

// The text of a PDF file by `pdftotext -layout`; pages end with a form feed.
// Empty when the file cannot be read.
inline QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The non-empty lines of `text`, each without its leading and trailing
// blanks and with runs of blanks made one (the text of a PDF file keeps
// positions, not blanks).
inline QStringList NonEmptyTrimmedLines(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\\n\\f]")))) {
        const QString trimmed = line.simplified();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

} // namespace ov::test
