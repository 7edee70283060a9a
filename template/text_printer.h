// Prints lines of text on a printer the way a text file is written to it:
// one under another from the top of each page, at the left edge of the
// printable area, a too-wide line continued on the next printed line, and a
// new page whenever a page is full.
#pragma once

#include <QFont>
#include <QStringList>

class QFontMetricsF;
class QPrinter;

namespace ov {

// Splits `line` into the pieces printed one under another: each piece holds
// as many characters as fit into `width`, and at least one. An empty line
// gives one empty piece.
QStringList BreakPrintLine(const QString& line, const QFontMetricsF& metrics, qreal width);

// Starts a print job on `printer` in `font`, writes `lines` and ends the job;
// the job is ended also when writing fails. Throws std::runtime_error with
// the complete message when the output cannot be opened, a page cannot be
// started or the job cannot be finished.
void PrintTextLines(QPrinter& printer, const QFont& font, const QStringList& lines);

} // namespace ov
