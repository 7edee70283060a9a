// The template window: its text area, "&Save" with the saved bytes, and
// "&Print" read back from a PDF file.
#include "fake_dialogs.h"
#include "gui_test_util.h"

#include "app/main_window.h"
#include "extract/template_document.h"
#include "schema/schema.h"
#include "template/template_window.h"
#include "template/text_printer.h"
#include "ui/error_handler.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace ov;

namespace {

// The document of `title` with the rows at `ticked` (from 0) ticked, or all
// rows when `ticked` is empty and `all` is set.
std::vector<std::string> Document(std::string_view title, std::vector<int> ticked, bool all = false)
{
    std::vector<std::string> descriptors;
    GetFormFields(static_cast<unsigned char>(FindFormIndex(title)), descriptors);
    std::vector<TemplateRow> rows;
    for (const std::string& descriptor : descriptors)
        rows.push_back({descriptor.substr(1), all});
    for (int row : ticked)
        rows[static_cast<std::size_t>(row)].ticked = true;
    return MakeTemplateDocument(title, rows, "OV2021DM");
}

QStringList ToLines(const std::vector<std::string>& lines)
{
    QStringList result;
    for (const std::string& line : lines)
        result << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    return result;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TemplateWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::SetApplicationTitle("Orvane Data Merge Module "); }
    void init()
    {
        FDir = std::make_unique<QTemporaryDir>();
        QVERIFY(FDir->isValid());
        CreateForms();
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }
    void cleanup() { DestroyForms(); }

    void textAreaIsReadOnlyFixedPitchWithoutWrap();
    void takesMainWindowSizeUntilFirstShown();
    void opensOnMainWindowEachTime();
    void saveProposesNameFromFirstLine();
    void savedFileHoldsLinesWithCrLf();
    void saveReplacesExistingFile();
    void saveKeepsBytesAsTheyAre();
    void cancelledSaveWritesNothing();
    void failedSaveShowsErrorAndWindowStays();
    void saveFromDisplayedTemplate();
    void printNamesJobAndUsesTextAreaFont();
    void longDocumentPrintsOnSeveralPages();
    void tooWideLineContinuesOnNextLine();
    void cancelledPrinterSetupPrintsNothing();
    void failedPrinterOutputShowsError();

private:
    void ShowWith(const std::vector<std::string>& lines)
    {
        fmTemplate->SetDocument(lines);
        fmTemplate->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmTemplate));
    }
    QString Path(const char* name) const { return FDir->filePath(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> FDir;
};

void TemplateWindowTest::textAreaIsReadOnlyFixedPitchWithoutWrap()
{
    ShowWith(Document("1098-E", {0, 11, 14}));
    QPlainTextEdit* memo = fmTemplate->RzMemo1;
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(QFontInfo(memo->font()).fixedPitch());
    QVERIFY(memo->font().bold());
    QCOMPARE(memo->font().pointSize(), 10);
    QVERIFY(!(memo->focusPolicy() & Qt::TabFocus));
    QCOMPARE(memo->geometry(), QRect(0, 0, 688, 405));
    QCOMPARE(fmTemplate->windowTitle(), QStringLiteral("Data Extract Template"));
    QCOMPARE(fmTemplate->bPrint->geometry(), QRect(10, 9, 75, 25));
    QCOMPARE(fmTemplate->bSave->geometry(), QRect(93, 9, 75, 25));
    QCOMPARE(fmTemplate->bClose->geometry(), QRect(604, 9, 75, 25));
    // Each document line is one line on screen.
    QCOMPARE(memo->document()->blockCount(), 40);
    QCOMPARE(memo->document()->lineCount(), 40);

    // Typing does not change the document.
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    QCOMPARE(fmTemplate->Lines(), ToLines(Document("1098-E", {0, 11, 14})));
}

void TemplateWindowTest::takesMainWindowSizeUntilFirstShown()
{
    // The outer size of a window that has not been shown is its client size.
    QCOMPARE(fmTemplate->size(), Form1->size());
    ShowWith(Document("W-2", {}));
    QCOMPARE(fmTemplate->size(), QSize(688, 446));
    QCOMPARE(fmTemplate->minimumSize(), fmTemplate->maximumSize());
    const Qt::WindowFlags flags = fmTemplate->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
}

void TemplateWindowTest::opensOnMainWindowEachTime()
{
    const QPoint places[] = {{10, 20}, {150, 90}, {0, 0}};
    for (const QPoint& place : places) {
        Form1->move(place);
        ShowWith(Document("W-2", {}));
        QCOMPARE(fmTemplate->pos(), Form1->pos());
        QTest::mouseClick(fmTemplate->bClose, Qt::LeftButton);
        QVERIFY(!fmTemplate->isVisible());
        QCOMPARE(fmTemplate->size(), QSize(688, 446));
    }
}

void TemplateWindowTest::saveProposesNameFromFirstLine()
{
    struct Case {
        const char* form;
        const char* title;
        const char* proposed;
    };
    const Case cases[] = {
        {"W-2", "SAVE FORM W-2 TEMPLATE", "FORM W-2 TEMPLATE.txt"},
        {"1098-E", "SAVE FORM 1098-E TEMPLATE", "FORM 1098-E TEMPLATE.txt"},
        {"1095-B CI", "SAVE FORM 1095-B CI TEMPLATE", "FORM 1095-B CI TEMPLATE.txt"},
    };
    test::FakeDialogs dialogs;
    for (const Case& c : cases) {
        ShowWith(Document(c.form, {0}));
        QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
        QVERIFY2(!dialogs.Saves.empty(), c.form);
        const test::SaveCall& call = dialogs.Saves.back();
        QVERIFY2(call.title == QLatin1String(c.title), c.form);
        QVERIFY2(call.fileName == QLatin1String(c.proposed), c.form);
        QVERIFY2(call.filter == QStringLiteral("Text Files|*.txt"), c.form);
        QVERIFY2(call.defaultExt == QStringLiteral("txt"), c.form);
        QVERIFY2(call.overwritePrompt, c.form);
    }
    QCOMPARE(dialogs.Saves.size(), std::size(cases));
}

void TemplateWindowTest::savedFileHoldsLinesWithCrLf()
{
    test::FakeDialogs dialogs;
    dialogs.SaveAnswer = Path("1098-E.txt");
    const std::vector<std::string> document = Document("1098-E", {0, 11, 14});
    ShowWith(document);
    QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);

    QByteArray expected;
    for (const std::string& line : document)
        expected += QByteArray::fromStdString(line) + "\r\n";
    const QByteArray saved = ReadAll(dialogs.SaveAnswer);
    QCOMPARE(saved, expected);
    QVERIFY(saved.startsWith("FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n"));
    QVERIFY(saved.contains("{END DATA}\r\n\r\nINSTRUCTIONS"));
    QVERIFY(saved.endsWith("ShellExecute() function.\r\n"));
    QVERIFY(dialogs.Messages.empty());
    QVERIFY(fmTemplate->isVisible());
}

void TemplateWindowTest::saveReplacesExistingFile()
{
    test::FakeDialogs dialogs;
    dialogs.SaveAnswer = Path("existing.txt");
    {
        QFile old(dialogs.SaveAnswer);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(20000, 'x'));
    }
    const std::vector<std::string> document = Document("W-2G", {});
    ShowWith(document);
    QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
    QByteArray expected;
    for (const std::string& line : document)
        expected += QByteArray::fromStdString(line) + "\r\n";
    QCOMPARE(ReadAll(dialogs.SaveAnswer), expected);
}

void TemplateWindowTest::saveKeepsBytesAsTheyAre()
{
    test::FakeDialogs dialogs;
    dialogs.SaveAnswer = Path("bytes.txt");
    ShowWith({"FORM X", "caf\xE9 \xA0|\xFF", "", "end"});
    QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
    QCOMPARE(ReadAll(dialogs.SaveAnswer), QByteArray("FORM X\r\ncaf\xE9 \xA0|\xFF\r\n\r\nend\r\n"));
}

void TemplateWindowTest::cancelledSaveWritesNothing()
{
    test::FakeDialogs dialogs;
    ShowWith(Document("W-2", {0}));
    QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
    QCOMPARE(dialogs.Saves.size(), std::size_t{1});
    QVERIFY(dialogs.Messages.empty());
    QVERIFY(QDir(FDir->path()).entryList(QDir::Files).isEmpty());
    QVERIFY(fmTemplate->isVisible());
}

void TemplateWindowTest::failedSaveShowsErrorAndWindowStays()
{
    test::FakeDialogs dialogs;
    dialogs.SaveAnswer = Path("missing folder/FORM W-2 TEMPLATE.txt");
    ShowWith(Document("W-2", {0}));
    QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
    const test::MessageCall& box = dialogs.Messages[0];
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.caption, QStringLiteral("Orvane Data Merge Module "));
    const QString start = QStringLiteral("Cannot create file \"") + dialogs.SaveAnswer + QStringLiteral("\". ");
    QVERIFY2(box.text.startsWith(start), qPrintable(box.text));
    QVERIFY2(box.text.size() > start.size() + 1, qPrintable(box.text)); // the system's reason
    QVERIFY(fmTemplate->isVisible());
    QCOMPARE(fmTemplate->Lines(), ToLines(Document("W-2", {0})));
}

void TemplateWindowTest::saveFromDisplayedTemplate()
{
    // The whole road: pick a form, tick, display, save, close.
    test::FakeDialogs dialogs;
    dialogs.SaveAnswer = Path("road.txt");
    Form1->coForm->setFocus();
    QTest::keyClicks(Form1->coForm->lineEdit(), QStringLiteral("1099-misc"));
    Form1->SetFieldTicked(0, true);
    Form1->SetFieldTicked(11, true);
    test::WhenModalShown([](QWidget* modal) {
        if (modal != fmTemplate)
            return;
        QTest::mouseClick(fmTemplate->bSave, Qt::LeftButton);
        QTest::mouseClick(fmTemplate->bClose, Qt::LeftButton);
    });
    QTest::mouseClick(Form1->bDisplay, Qt::LeftButton);
    QVERIFY(!fmTemplate->isVisible());
    QCOMPARE(dialogs.Saves.size(), std::size_t{1});
    QCOMPARE(dialogs.Saves[0].title, QStringLiteral("SAVE FORM 1099-MISC TEMPLATE"));
    const QByteArray saved = ReadAll(dialogs.SaveAnswer);
    QVERIFY(saved.startsWith("FORM 1099-MISC\r\nKEY 040"));
    QCOMPARE(saved.count("\r\n"), 37 + 2);
}

void TemplateWindowTest::printNamesJobAndUsesTextAreaFont()
{
    test::FakeDialogs dialogs;
    dialogs.PrintToPdf = Path("1099-MISC.pdf");
    const std::vector<std::string> document = Document("1099-MISC", {0, 11});
    ShowWith(document);
    QTest::mouseClick(fmTemplate->bPrint, Qt::LeftButton);

    QVERIFY(dialogs.Messages.empty());
    QCOMPARE(dialogs.PrinterSetups, 1);
    QVERIFY(dialogs.WaitCursorDuringPrinterSetup);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(fmTemplate->Printer.docName(), QStringLiteral("FORM 1099-MISC DATA EXTRACT TEMPLATE"));

    const QString text = test::PdfText(dialogs.PrintToPdf);
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
    QStringList expected;
    for (const QString& line : ToLines(document))
        if (!line.trimmed().isEmpty())
            expected << line.simplified();
    QCOMPARE(test::NonEmptyTrimmedLines(text), expected);

    // The page shows the text area's font.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {dialogs.PrintToPdf});
    QVERIFY(fonts.waitForFinished(30000));
    const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
    QVERIFY2(fontList.contains(QStringLiteral("DejaVuSansMono-Bold")), qPrintable(fontList));
}

void TemplateWindowTest::longDocumentPrintsOnSeveralPages()
{
    test::FakeDialogs dialogs;
    dialogs.PrintToPdf = Path("W-2C.pdf");
    const std::vector<std::string> document = Document("W-2C", {}, true);
    QCOMPARE(document.size(), std::size_t{98 + 37});
    ShowWith(document);
    QTest::mouseClick(fmTemplate->bPrint, Qt::LeftButton);
    QVERIFY(dialogs.Messages.empty());

    const QString text = test::PdfText(dialogs.PrintToPdf);
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
    // Every character once and in order.
    const auto squeezed = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); };
    const QStringList lines = ToLines(document);
    QCOMPARE(squeezed(text), squeezed(lines.join(QString())));
    // Each page is filled from its top before the next begins.
    QVERIFY(test::NonEmptyTrimmedLines(pages[0]).size() > 40);
    // The KEY, 102 characters, is wider than the page and goes on in the next line.
    const QStringList printed = test::NonEmptyTrimmedLines(text);
    QVERIFY2(printed[1].size() < lines[1].size(), qPrintable(printed[1]));
    QCOMPARE(printed[1] + printed[2], lines[1]);
    QCOMPARE(printed[3], QStringLiteral("{BEGIN DATA}"));
}

void TemplateWindowTest::tooWideLineContinuesOnNextLine()
{
    test::FakeDialogs dialogs;
    dialogs.PrintToPdf = Path("wide.pdf");
    QString wide;
    for (int i = 0; i < 40; ++i)
        wide += QStringLiteral("%1abcdefg").arg(i % 10);
    ShowWith({"FORM WIDE", wide.toStdString(), "after"});
    QTest::mouseClick(fmTemplate->bPrint, Qt::LeftButton);
    QVERIFY(dialogs.Messages.empty());

    const QStringList printed = test::NonEmptyTrimmedLines(test::PdfText(dialogs.PrintToPdf));
    QVERIFY2(printed.size() >= 4, qPrintable(printed.join(QLatin1Char('\n'))));
    QCOMPARE(printed.first(), QStringLiteral("FORM WIDE"));
    QCOMPARE(printed.last(), QStringLiteral("after"));
    const QStringList pieces = printed.mid(1, printed.size() - 2);
    QCOMPARE(pieces.join(QString()), wide);
    // Each piece but the last fills the printed line.
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i)
        QCOMPARE(pieces[i].size(), pieces[0].size());
    QVERIFY(pieces.last().size() <= pieces[0].size());

    // The same breaking, measured: a piece is as long as fits, never longer.
    const QFont font(QStringLiteral("DejaVu Sans Mono"), 10, QFont::Bold);
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QStringLiteral("0123456789")) + 1;
    QCOMPARE(BreakPrintLine(QStringLiteral("0123456789ABCDEFGHIJ"), metrics, width),
             (QStringList{QStringLiteral("0123456789"), QStringLiteral("ABCDEFGHIJ")}));
    QCOMPARE(BreakPrintLine(QString(), metrics, width), QStringList{QString()});
    QCOMPARE(BreakPrintLine(QStringLiteral("AB"), metrics, 1), (QStringList{"A", "B"}));
}

void TemplateWindowTest::cancelledPrinterSetupPrintsNothing()
{
    test::FakeDialogs dialogs;
    ShowWith(Document("W-2", {0}));
    QTest::mouseClick(fmTemplate->bPrint, Qt::LeftButton);
    QCOMPARE(dialogs.PrinterSetups, 1);
    QVERIFY(dialogs.WaitCursorDuringPrinterSetup);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(dialogs.Messages.empty());
    QVERIFY(QDir(FDir->path()).entryList(QDir::Files).isEmpty());
}

void TemplateWindowTest::failedPrinterOutputShowsError()
{
    test::FakeDialogs dialogs;
    dialogs.PrintToPdf = Path("missing folder/out.pdf");
    ShowWith(Document("W-2", {0}));
    QTest::mouseClick(fmTemplate->bPrint, Qt::LeftButton);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
    QCOMPARE(dialogs.Messages[0].icon, QMessageBox::Critical);
    QCOMPARE(dialogs.Messages[0].text, QStringLiteral("Printer output could not be opened."));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(fmTemplate->isVisible());
    QVERIFY(!fmTemplate->Printer.isValid() || fmTemplate->Printer.printerState() != QPrinter::Active);
}

QTEST_MAIN(TemplateWindowTest)
#include "template_window_test.moc"
