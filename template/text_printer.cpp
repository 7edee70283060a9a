#include "template/text_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <stdexcept>

namespace ov {

namespace {

// Messages of the printer output.
constexpr const char* kCannotOpenPrinter = "Printer output could not be opened";
constexpr const char* kCannotStartPage = "Printer output could not start a new page";
constexpr const char* kCannotFinishPrinting = "Printer output could not be finished";

// Ends the painter's job whatever happens while writing.
class PrintJob {
public:
    explicit PrintJob(QPrinter& printer)
    {
        if (!FPainter.begin(&printer))
            throw std::runtime_error(kCannotOpenPrinter);
    }
    ~PrintJob()
    {
        if (FPainter.isActive())
            FPainter.end();
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    QPainter& Painter() { return FPainter; }
    void Finish()
    {
        if (!FPainter.end())
            throw std::runtime_error(kCannotFinishPrinting);
    }

private:
    QPainter FPainter;
};

} // namespace

QStringList BreakPrintLine(const QString& line, const QFontMetricsF& metrics, qreal width)
{
    QStringList pieces;
    QString rest = line;
    do {
        // The longest start of `rest` that fits; one character at least, so
        // that a page narrower than a character still makes progress.
        qsizetype low = 1, high = rest.size();
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (metrics.horizontalAdvance(rest.left(mid)) <= width)
                low = mid;
            else
                high = mid - 1;
        }
        const qsizetype take = rest.isEmpty() ? 0 : low;
        pieces << rest.left(take);
        rest = rest.mid(take);
    } while (!rest.isEmpty());
    return pieces;
}

void PrintTextLines(QPrinter& printer, const QFont& font, const QStringList& lines)
{
    PrintJob job(printer);
    QPainter& painter = job.Painter();
    painter.setFont(QFont(font, &printer));
    const QFontMetricsF metrics(painter.font(), &printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal lineHeight = metrics.lineSpacing();

    qreal top = 0;
    for (const QString& line : lines) {
        for (const QString& piece : BreakPrintLine(line, metrics, page.width())) {
            if (top > 0 && top + lineHeight > page.height()) {
                if (!printer.newPage())
                    throw std::runtime_error(kCannotStartPage);
                top = 0;
            }
            painter.drawText(QPointF(0, top + metrics.ascent()), piece);
            top += lineHeight;
        }
    }
    job.Finish();
}

} // namespace ov
