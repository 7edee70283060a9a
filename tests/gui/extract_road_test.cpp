// The main window's extract road: the command-line run, "&Verify an Extract"
// and a dropped file, each from the extract on disk to the import file, the
// registry file and the boxes the user sees, and every way a run can end.
#include "fake_dialogs.h"
#include "gui_test_util.h"

#include "app/main_window.h"
#include "platform/registry_store.h"
#include "schema/schema.h"
#include "ui/error_handler.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <memory>
#include <optional>
#include <string>

using namespace ov;

namespace {

const QString kErrorCaption = QStringLiteral("Orvane Data Merge Module ");
const QString kMainCaption = QStringLiteral("Orvane Data Merge Module [ 2021 ]");
const QString kSummaryCaption = QStringLiteral("Successful Verification");
const QString kInstructionsCaption = QStringLiteral("Data Extract Import Instructions");

// 1099-NEC with fields 1, 8 and 17 supplied, two records.
const QByteArray kNec = "FORM 1099-NEC\r\n"
                        "KEY 0281000000100000000100000000000\r\n"
                        "{BEGIN DATA}\r\n"
                        "PAYEE ONE\r\n"
                        "7\r\n"
                        "$950.50\r\n"
                        "PAYEE TWO\r\n"
                        "\r\n"
                        "+75\r\n"
                        "{END DATA}\r\n";
const QByteArray kNecImport =
    "\"PAYEE ONE\",,,,,,,07,,,N/A,,,,,,950.50,,0.00,,0.00,0.00,,0.00,0.00,,,\r\n"
    "\"PAYEE TWO\",,,,,,,,,,N/A,,,,,,75,,0.00,,0.00,0.00,,0.00,0.00,,,\r\n";
const QList<int> kNecTicks = {0, 7, 16};
constexpr int kNecTinTypeRow = 10;

// 1098-E with fields 1, 12 and 15 supplied, one record.
const QByteArray kStudentLoan = "FORM 1098-E\r\n"
                                "KEY 0191000000000010010000\r\n"
                                "{BEGIN DATA}\r\n"
                                "STUDENT ONE\r\n"
                                "12-3456789\r\n"
                                "1234.56\r\n"
                                "{END DATA}\r\n";
const QByteArray kStudentLoanImport = "\"STUDENT ONE\",,,,,,,,,,EIN,123456789,,,1234.56,,,,\r\n";

QByteArray Replaced(QByteArray text, const QByteArray& from, const QByteArray& to)
{
    return text.replace(from, to);
}

QStringList Lines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

QList<int> TickedRows()
{
    QList<int> rows;
    for (int i = 0; i < Form1->FieldCount(); ++i)
        if (Form1->FieldTicked(i))
            rows << i;
    return rows;
}

int CurrentRow()
{
    return Form1->lvDestination->indexOfTopLevelItem(Form1->lvDestination->currentItem());
}

QString HintOf(char typeCode)
{
    return ui::ToQString(TypeHint(typeCode));
}

std::optional<QByteArray> FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<std::string> RegistryFolder()
{
    return ReadUserRegistryString(kImportKeyPath, kTextDirectoryValue);
}

// The bytes the file system knows `path` by, as the window keeps them.
QString AsKept(const QString& path)
{
    return ui::ToQString(QFile::encodeName(path).toStdString());
}

// Lets the queued work of the window (the command-line run, a dropped file)
// take place.
void RunQueuedWork()
{
    QCoreApplication::sendPostedEvents();
}

// Starts the program as its entry does, with `arguments` behind its name, and
// lets the command-line run take place.
void StartProgram(const std::vector<std::string>& arguments = {})
{
    CreateForms();
    Form1->CommandLineArguments = arguments;
    Form1->show();
    RunQueuedWork();
}

// Drags `data` onto the main window and drops it there; true when the window
// took the drop.
bool DropOnWindow(const QMimeData& data)
{
    const QPoint where(300, 200);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &drop);
    RunQueuedWork();
    return drop.isAccepted();
}

} // namespace

class ExtractRoadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ui::SetApplicationTitle("Orvane Data Merge Module ");
        // Amounts read with "." whatever the machine's locale.
        qputenv("LC_ALL", "C");
        // A successful run closes the main window; the test goes on.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }
    void init()
    {
        FDir = std::make_unique<QTemporaryDir>();
        QVERIFY(FDir->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(FDir->filePath(QStringLiteral("config"))));
        FDialogs = std::make_unique<test::FakeDialogs>();
    }
    void cleanup()
    {
        DestroyForms();
        FDialogs.reset();
        FDir.reset();
    }

    void commandLineRunWritesImportFileAndEnds();
    void commandLineRunWithoutArgumentDoesNothing_data();
    void commandLineRunWithoutArgumentDoesNothing();
    void commandLineRunOfMissingFileShowsUsage_data();
    void commandLineRunOfMissingFileShowsUsage();
    void failedCommandLineRunLeavesWindowOpen_data();
    void failedCommandLineRunLeavesWindowOpen();
    void outputFailureEndsRunWithPlatformMessage_data();
    void outputFailureEndsRunWithPlatformMessage();
    void buttonRunAsksBeforeWriting_data();
    void buttonRunAsksBeforeWriting();
    void cancelledOpenDialogChangesNothing();
    void buttonRunOfUnopenableFileEmptiesLines_data();
    void buttonRunOfUnopenableFileEmptiesLines();
    void failedButtonRunKeepsWhatItGotTo_data();
    void failedButtonRunKeepsWhatItGotTo();
    void twoButtonRunsInARow();
    void badValueSelectsItsRowAndKeepsEarlierRecords();
    void waitCursorIsGoneWhenBoxShows_data();
    void waitCursorIsGoneWhenBoxShows();
    void markupInMessageIsShownAsPlainText();
    void fileNameBeyondLatin1Opens();
    void droppedFileStartsButtonRun();
    void dropOfOtherThanOneFileIsRefused_data();
    void dropOfOtherThanOneFileIsRefused();

private:
    // Writes `bytes` as the extract `name` (in the temporary folder unless
    // `name` is absolute) and returns its path.
    QString WriteExtract(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir::isAbsolutePath(name) ? name : FDir->filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QString ImportPathOf(const QString& extract)
    {
        const QFileInfo info(extract);
        return info.absolutePath() + QStringLiteral("/2021DM_") + info.fileName();
    }

    // Runs "&Verify an Extract" on `extract`, answering the summary with `answer`.
    void ButtonRun(const QString& extract, QMessageBox::StandardButton answer)
    {
        FDialogs->OpenAnswer = extract;
        FDialogs->MessageAnswer = answer;
        QTest::mouseClick(Form1->bVerify, Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<test::FakeDialogs> FDialogs;
};

void ExtractRoadTest::commandLineRunWritesImportFileAndEnds()
{
    const QString extract = WriteExtract(QStringLiteral("data dir/nec.txt"), kNec);
    // The argument comes with blanks around it, which are not part of the path.
    StartProgram({" " + QFile::encodeName(extract).toStdString() + "\t "});

    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const test::MessageCall& box = FDialogs->Messages[0];
    QCOMPARE(box.caption, kInstructionsCaption);
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const QStringList lines = Lines(box.text);
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QStringLiteral("Data Extract \"nec.txt\" has been saved as"));
    QCOMPARE(lines[2], QStringLiteral("FILE:  2021DM_nec.txt"));
    QCOMPARE(lines[3], QStringLiteral("FOLDER:  ") + FDir->filePath(QStringLiteral("data dir/")));
    QCOMPARE(lines[12], QStringLiteral("- Select Form \"1099-NEC\" from the \"Forms\" menu."));
    QCOMPARE(FDialogs->Beeps, 0);

    QCOMPARE(FileBytes(ImportPathOf(extract)), std::optional<QByteArray>(kNecImport));
    QCOMPARE(RegistryFolder(),
             std::optional<std::string>(QFile::encodeName(FDir->filePath(QStringLiteral("data dir/"))).toStdString()));

    // The run ends the program, with a success for its caller.
    QVERIFY(!Form1->isVisible());
    QVERIFY(!Form1->CommandLineRunFailed());

    // What the run leaves in the window's state.
    QCOMPARE(ui::ToQString(Form1->ExtractFile), AsKept(extract));
    QCOMPARE(Form1->ExtractLines->size(), std::size_t{2});
    QCOMPARE((*Form1->ExtractLines)[0], std::string("FORM 1099-NEC"));
    QCOMPARE((*Form1->ExtractLines)[1], std::string("KEY 0281000000100000000100000000000"));
    QCOMPARE(Form1->FormName, std::string("1099-NEC"));
    QCOMPARE(Form1->KeyFlags, std::string("1000000100000000100000000000"));
    QCOMPARE(Form1->ImportLines->size(), std::size_t{2});
    QCOMPARE(Form1->TinTypeIndex, kNecTinTypeRow);
    QCOMPARE(Form1->RecordValues->size(), std::size_t{28});
    QCOMPARE((*Form1->RecordValues)[kNecTinTypeRow], std::string("N/A"));
    QCOMPARE((*Form1->RecordValues)[16], std::string("0.00"));
    QCOMPARE(TickedRows(), kNecTicks);
}

void ExtractRoadTest::commandLineRunWithoutArgumentDoesNothing_data()
{
    QTest::addColumn<bool>("withArgument");
    QTest::addColumn<QByteArray>("argument");
    QTest::newRow("no argument") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray("");
    QTest::newRow("blanks") << true << QByteArray("   ");
    QTest::newRow("tab and line end") << true << QByteArray("\t\r\n");
}

void ExtractRoadTest::commandLineRunWithoutArgumentDoesNothing()
{
    QFETCH(bool, withArgument);
    QFETCH(QByteArray, argument);
    StartProgram(withArgument ? std::vector<std::string>{argument.toStdString()} : std::vector<std::string>{});
    QVERIFY(FDialogs->Messages.empty());
    QVERIFY(Form1->isVisible());
    QVERIFY(Form1->ExtractFile.empty());
    QCOMPARE(Form1->coForm->currentText(), QString());
    QCOMPARE(Form1->FieldCount(), 0);
    QVERIFY(!Form1->CommandLineRunFailed());
}

void ExtractRoadTest::commandLineRunOfMissingFileShowsUsage_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("nothing there") << QStringLiteral("missing.txt");
    QTest::newRow("a folder") << QStringLiteral("folder.txt");
}

void ExtractRoadTest::commandLineRunOfMissingFileShowsUsage()
{
    QFETCH(QString, name);
    QDir(FDir->path()).mkdir(QStringLiteral("folder.txt"));
    const QString path = FDir->filePath(name);
    StartProgram({"  " + QFile::encodeName(path).toStdString() + " "});

    // The box and nothing after it: no error box for the silent cancel.
    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const test::MessageCall& box = FDialogs->Messages[0];
    QCOMPARE(box.caption, kMainCaption);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const QStringList expected = {
        QStringLiteral("Failed to open data extract:"),
        QString(),
        path,
        QString(),
        QStringLiteral("Usage: ") + ui::ToQString(ui::ProgramFileName())
            + QStringLiteral(" \"File specification\""),
        QString(),
        QStringLiteral("\"File specification\" = fully qualified file name of your data extract!"),
    };
    QCOMPARE(Lines(box.text), expected);

    // The window opens for use; the caller learns that nothing was done.
    QVERIFY(Form1->isVisible());
    QCOMPARE(ui::ToQString(Form1->ExtractFile), path);
    QCOMPARE(Form1->FieldCount(), 0);
    QVERIFY(Form1->CommandLineRunFailed());
    QVERIFY(!RegistryFolder());
}

void ExtractRoadTest::failedCommandLineRunLeavesWindowOpen_data()
{
    QTest::addColumn<QByteArray>("extract");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("lastLine"); // "PATH" stands for the extract's path
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("ticked");

    QTest::newRow("form unknown")
        << Replaced(kNec, "1099-NEC", "1099-xyz") << QStringLiteral("FORM 1099-XYZ not found.")
        << QStringLiteral("EXTRACT = PATH.") << QString() << 0 << QList<int>();
    QTest::newRow("key checksum")
        << Replaced(kNec, "KEY 028", "KEY 029") << QStringLiteral("KEY segment checksum error.")
        << QStringLiteral("EXTRACT = PATH.") << QStringLiteral("1099-NEC") << 28 << QList<int>();
    QTest::newRow("key of another form")
        << Replaced(kNec, "KEY 0281", "KEY 0271").replace("00000\r\n{BEGIN", "0000\r\n{BEGIN")
        << QStringLiteral("1099-NEC (2021) checksum error in KEY segment.")
        << QStringLiteral("EXTRACT = PATH.") << QStringLiteral("1099-NEC") << 28 << QList<int>();
    QTest::newRow("end marker missing")
        << Replaced(kNec, "{END DATA}\r\n", "") << QStringLiteral("{END DATA} not found.")
        << QStringLiteral("EXTRACT = PATH.") << QStringLiteral("1099-NEC") << 28 << kNecTicks;
    QTest::newRow("field allocation")
        << Replaced(kNec, "+75\r\n", "") << QStringLiteral("Field allocation error.")
        << QStringLiteral("EXTRACT = PATH.") << QStringLiteral("1099-NEC") << 28 << kNecTicks;
    QTest::newRow("bad value")
        << Replaced(kNec, "\r\n+75\r\n", "\r\n7.5.0 \r\n") << QStringLiteral("EXTRACT = PATH")
        << QStringLiteral("Destination field \"Nonemployee compensation\" maps to an invalid "
                          "currency value \"7.5.0 \"")
        << QStringLiteral("1099-NEC") << 28 << kNecTicks;
}

void ExtractRoadTest::failedCommandLineRunLeavesWindowOpen()
{
    QFETCH(QByteArray, extract);
    QFETCH(QString, firstLine);
    QFETCH(QString, lastLine);
    QFETCH(QString, form);
    QFETCH(int, rows);
    QFETCH(QList<int>, ticked);
    const QString path = WriteExtract(QStringLiteral("nec.txt"), extract);
    StartProgram({QFile::encodeName(path).toStdString()});

    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const test::MessageCall& box = FDialogs->Messages[0];
    QCOMPARE(box.caption, kErrorCaption);
    QCOMPARE(box.icon, QMessageBox::Critical);
    const QStringList lines = Lines(box.text);
    QCOMPARE(lines.front(), QString(firstLine).replace(QStringLiteral("PATH"), path));
    QCOMPARE(lines.back(), QString(lastLine).replace(QStringLiteral("PATH"), path));

    // The window stays with the form and the ticks as far as the run got.
    QVERIFY(Form1->isVisible());
    QVERIFY(Form1->CommandLineRunFailed());
    QCOMPARE(Form1->coForm->currentText(), form);
    QCOMPARE(Form1->FieldCount(), rows);
    QCOMPARE(TickedRows(), ticked);
    QCOMPARE(Form1->bDisplay->isEnabled(), !ticked.isEmpty());
    QCOMPARE(ui::ToQString(Form1->ExtractFile), path);
    QVERIFY(!QFile::exists(ImportPathOf(path)));
    QVERIFY(!RegistryFolder());
}

void ExtractRoadTest::outputFailureEndsRunWithPlatformMessage_data()
{
    QTest::addColumn<bool>("registryBlocked"); // else the import file is
    QTest::newRow("import file cannot be created") << false;
    QTest::newRow("registry key cannot be created") << true;
}

void ExtractRoadTest::outputFailureEndsRunWithPlatformMessage()
{
    QFETCH(bool, registryBlocked);
    const QString extract = WriteExtract(QStringLiteral("nec.txt"), kNec);
    const QString importFile = ImportPathOf(extract);
    if (registryBlocked)
        WriteExtract(QStringLiteral("config/ORVANE"), "a file where the key's folder belongs");
    else
        QVERIFY(QDir().mkpath(importFile)); // a folder in the import file's place
    StartProgram({QFile::encodeName(extract).toStdString()});

    // The platform's message, and no instructions.
    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const test::MessageCall& box = FDialogs->Messages[0];
    QCOMPARE(box.caption, kErrorCaption);
    QCOMPARE(box.icon, QMessageBox::Critical);
    if (registryBlocked) {
        QCOMPARE(box.text, QStringLiteral("Failed to create key Import\\OV2021."));
        // The import file was written before the registry failed, and stays.
        QCOMPARE(FileBytes(importFile), std::optional<QByteArray>(kNecImport));
    } else {
        QVERIFY2(box.text.startsWith(QStringLiteral("Cannot create file \"") + importFile
                                     + QStringLiteral("\". ")),
                 qPrintable(box.text));
        QVERIFY(!RegistryFolder());
    }
    QVERIFY(Form1->isVisible());
    QVERIFY(Form1->CommandLineRunFailed());
}

void ExtractRoadTest::buttonRunAsksBeforeWriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

void ExtractRoadTest::buttonRunAsksBeforeWriting()
{
    QFETCH(int, answer);
    const bool yes = answer == QMessageBox::Yes;
    StartProgram();
    const QString extract = WriteExtract(QStringLiteral("nec.txt"), kNec);
    ButtonRun(extract, QMessageBox::StandardButton(answer));

    QCOMPARE(FDialogs->Messages.size(), std::size_t(yes ? 2 : 1));
    const test::MessageCall& summary = FDialogs->Messages[0];
    QCOMPARE(summary.caption, kSummaryCaption);
    QCOMPARE(summary.icon, QMessageBox::Question);
    QCOMPARE(summary.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(summary.beepsBefore, 1);
    const QStringList expected = {
        QStringLiteral("EXTRACT: ") + extract,
        QString(),
        QStringLiteral("RETURNS: 1099-NEC"),
        QStringLiteral("RECORDS: 2"),
        QString(),
        QStringLiteral("REPORTING YEAR: 2021"),
        QString(),
        QStringLiteral("Do you want to save the output for merging with Orvane?"),
    };
    QCOMPARE(Lines(summary.text), expected);

    if (yes) {
        QCOMPARE(FDialogs->Messages[1].caption, kInstructionsCaption);
        QCOMPARE(FileBytes(ImportPathOf(extract)), std::optional<QByteArray>(kNecImport));
        QCOMPARE(RegistryFolder(), std::optional<std::string>(QFile::encodeName(FDir->path() + "/").toStdString()));
    } else {
        QVERIFY(!QFile::exists(ImportPathOf(extract)));
        QVERIFY(!RegistryFolder());
    }
    // Either way the window shows the extract's form and ticks, and stays.
    QVERIFY(Form1->isVisible());
    QCOMPARE(Form1->coForm->currentText(), QStringLiteral("1099-NEC"));
    QCOMPARE(TickedRows(), kNecTicks);
    QVERIFY(Form1->bDisplay->isEnabled());
    QVERIFY(!Form1->CommandLineRunFailed());
}

void ExtractRoadTest::cancelledOpenDialogChangesNothing()
{
    StartProgram();
    const QString extract = WriteExtract(QStringLiteral("nec.txt"), kNec);
    ButtonRun(extract, QMessageBox::No);
    FDialogs->Messages.clear();

    ButtonRun(QString(), QMessageBox::Yes); // cancelled
    QVERIFY(FDialogs->Messages.empty());
    QCOMPARE(FDialogs->Beeps, 1);
    QCOMPARE(ui::ToQString(Form1->ExtractFile), extract);
    QCOMPARE(Form1->coForm->currentText(), QStringLiteral("1099-NEC"));
    QCOMPARE(TickedRows(), kNecTicks);
    QCOMPARE(Form1->ImportLines->size(), std::size_t{2});
    QVERIFY(!QFile::exists(ImportPathOf(extract)));
}

void ExtractRoadTest::buttonRunOfUnopenableFileEmptiesLines_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("nothing there") << QStringLiteral("missing.txt");
    QTest::newRow("a folder") << QStringLiteral("folder.txt");
}

void ExtractRoadTest::buttonRunOfUnopenableFileEmptiesLines()
{
    QFETCH(QString, name);
    QDir(FDir->path()).mkdir(QStringLiteral("folder.txt"));
    StartProgram();
    ButtonRun(WriteExtract(QStringLiteral("nec.txt"), kNec), QMessageBox::No);
    FDialogs->Messages.clear();

    const QString path = FDir->filePath(name);
    ButtonRun(path, QMessageBox::Yes);
    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const test::MessageCall& box = FDialogs->Messages[0];
    QCOMPARE(box.caption, kErrorCaption);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.startsWith(QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ")),
             qPrintable(box.text));
    QCOMPARE(ui::ToQString(Form1->ExtractFile), path);
    QVERIFY(Form1->ExtractLines->empty());
    // The earlier run's form stays: this run never reached the FORM segment.
    QCOMPARE(Form1->coForm->currentText(), QStringLiteral("1099-NEC"));
    QCOMPARE(TickedRows(), kNecTicks);
}

void ExtractRoadTest::failedButtonRunKeepsWhatItGotTo_data()
{
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("formName");
    QTest::addColumn<QString>("keyFlags");
    // The first run, for 1099-NEC, leaves its form, ticks, FORM and KEY.
    const QString necFlags = QStringLiteral("1000000100000000100000000000");
    QTest::newRow("form") << Replaced(kStudentLoan, "1098-E", "1098-Z") << QStringLiteral("1099-NEC")
                          << kNecTicks << QStringLiteral("1099-NEC") << necFlags;
    QTest::newRow("key") << Replaced(kStudentLoan, "KEY 019", "KEY ABC") << QStringLiteral("1098-E")
                         << QList<int>() << QStringLiteral("1098-E") << necFlags;
    QTest::newRow("data block") << Replaced(kStudentLoan, "{BEGIN DATA}", "{BEGIN}")
                                << QStringLiteral("1098-E") << QList<int>{0, 11, 14}
                                << QStringLiteral("1098-E") << QStringLiteral("1000000000010010000");
}

void ExtractRoadTest::failedButtonRunKeepsWhatItGotTo()
{
    QFETCH(QByteArray, second);
    QFETCH(QString, form);
    QFETCH(QList<int>, ticked);
    QFETCH(QString, formName);
    QFETCH(QString, keyFlags);
    StartProgram();
    ButtonRun(WriteExtract(QStringLiteral("nec.txt"), kNec), QMessageBox::No);
    FDialogs->Messages.clear();

    const QString path = WriteExtract(QStringLiteral("loan.txt"), second);
    ButtonRun(path, QMessageBox::Yes);
    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    QCOMPARE(FDialogs->Messages[0].icon, QMessageBox::Critical);
    QCOMPARE(Lines(FDialogs->Messages[0].text).back(), QStringLiteral("EXTRACT = ") + path + ".");
    QCOMPARE(Form1->coForm->currentText(), form);
    QCOMPARE(TickedRows(), ticked);
    QCOMPARE(ui::ToQString(Form1->FormName), formName);
    QCOMPARE(ui::ToQString(Form1->KeyFlags), keyFlags);
    QVERIFY(!QFile::exists(ImportPathOf(path)));
}

void ExtractRoadTest::twoButtonRunsInARow()
{
    StartProgram();
    const QString first = WriteExtract(QStringLiteral("one/nec.txt"), kNec);
    const QString second = WriteExtract(QStringLiteral("two/loan.txt"), kStudentLoan);
    ButtonRun(first, QMessageBox::Yes);
    ButtonRun(second, QMessageBox::Yes);

    QCOMPARE(FDialogs->Messages.size(), std::size_t{4});
    const QStringList summary = Lines(FDialogs->Messages[2].text);
    QCOMPARE(summary[0], QStringLiteral("EXTRACT: ") + second);
    QCOMPARE(summary[2], QStringLiteral("RETURNS: 1098-E"));
    QCOMPARE(summary[3], QStringLiteral("RECORDS: 1"));
    QCOMPARE(FDialogs->Messages[3].caption, kInstructionsCaption);
    QCOMPARE(FDialogs->Beeps, 2);

    QCOMPARE(FileBytes(ImportPathOf(first)), std::optional<QByteArray>(kNecImport));
    QCOMPARE(FileBytes(ImportPathOf(second)), std::optional<QByteArray>(kStudentLoanImport));
    QCOMPARE(RegistryFolder(), std::optional<std::string>(QFile::encodeName(FDir->filePath("two/")).toStdString()));
    // Only the second form's rows, ticked as its KEY says.
    QCOMPARE(Form1->coForm->currentText(), QStringLiteral("1098-E"));
    QCOMPARE(Form1->FieldCount(), 19);
    QCOMPARE(TickedRows(), (QList<int>{0, 11, 14}));
    QCOMPARE(Form1->ImportLines->size(), std::size_t{1});
    QCOMPARE(Form1->TinTypeIndex, 10);
}

void ExtractRoadTest::badValueSelectsItsRowAndKeepsEarlierRecords()
{
    StartProgram();
    // The USPS Delivery Point of record 2, not the last ticked row, fails.
    const QString path = WriteExtract(QStringLiteral("nec.txt"),
                                      Replaced(kNec, "PAYEE TWO\r\n\r\n", "PAYEE TWO\r\n100\r\n"));
    ButtonRun(path, QMessageBox::Yes);

    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    const QStringList lines = Lines(FDialogs->Messages[0].text);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[2], QStringLiteral("Record # 2, Field # 2"));
    QCOMPARE(lines[3], QStringLiteral("Destination field \"USPS Delivery Point\" maps to an invalid "
                                      "USPS Delivery Point \"100\""));
    QCOMPARE(CurrentRow(), 7);
    QVERIFY(Form1->lvDestination->topLevelItem(7)->isSelected());
    QCOMPARE(Form1->TypeStatus->text(), HintOf('u'));
    QCOMPARE(TickedRows(), kNecTicks);
    // The records before the failing one were verified; none is written.
    QCOMPARE(Form1->ImportLines->size(), std::size_t{1});
    QCOMPARE(QByteArray::fromStdString((*Form1->ImportLines)[0]) + "\r\n",
             kNecImport.left(kNecImport.indexOf('\n') + 1));
    QVERIFY(!QFile::exists(ImportPathOf(path)));
}

void ExtractRoadTest::waitCursorIsGoneWhenBoxShows_data()
{
    QTest::addColumn<QByteArray>("extract");
    QTest::addColumn<QString>("caption");
    QTest::newRow("bad value") << Replaced(kNec, "$950.50", "ABC") << kErrorCaption;
    QTest::newRow("layout") << Replaced(kNec, "{END DATA}", "{END}") << kErrorCaption;
    QTest::newRow("success") << kNec << kSummaryCaption;
}

void ExtractRoadTest::waitCursorIsGoneWhenBoxShows()
{
    QFETCH(QByteArray, extract);
    QFETCH(QString, caption);
    StartProgram();
    ButtonRun(WriteExtract(QStringLiteral("nec.txt"), extract), QMessageBox::No);
    QCOMPARE(FDialogs->Messages.size(), std::size_t{1});
    QCOMPARE(FDialogs->Messages[0].caption, caption);
    QVERIFY(!FDialogs->Messages[0].waitCursor);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void ExtractRoadTest::markupInMessageIsShownAsPlainText()
{
    // The boxes of Qt itself, not the fake ones.
    FDialogs.reset();
    const QString path = WriteExtract(QStringLiteral("a<i>b&amp;.txt"),
                                      Replaced(kNec, "\r\n+75\r\n", "\r\n<b>75</b>\r\n"));
    QString shownText;
    Qt::TextFormat shownFormat = Qt::AutoText;
    test::WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return;
        if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            shownText = label->text();
            shownFormat = label->textFormat();
        }
        box->button(QMessageBox::Ok)->click();
    });
    StartProgram({QFile::encodeName(path).toStdString()});

    QCOMPARE(shownFormat, Qt::PlainText);
    const QStringList lines = Lines(shownText);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral("EXTRACT = ") + path);
    QVERIFY2(lines[3].endsWith(QStringLiteral("\"<b>75</b>\"")), qPrintable(lines[3]));
    QVERIFY(Form1->isVisible());
}

void ExtractRoadTest::fileNameBeyondLatin1Opens()
{
    StartProgram();
    const QString extract = WriteExtract(QStringLiteral("Отчёт 2021.txt"), kNec);
    ButtonRun(extract, QMessageBox::Yes);
    QCOMPARE(FDialogs->Messages.size(), std::size_t{2});
    QCOMPARE(FDialogs->Messages[0].caption, kSummaryCaption);
    QCOMPARE(FileBytes(ImportPathOf(extract)), std::optional<QByteArray>(kNecImport));
}

void ExtractRoadTest::droppedFileStartsButtonRun()
{
    StartProgram();
    const QString extract = WriteExtract(QStringLiteral("nec.txt"), kNec);
    FDialogs->MessageAnswer = QMessageBox::Yes;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(extract)});
    QVERIFY(DropOnWindow(data));

    QCOMPARE(FDialogs->Messages.size(), std::size_t{2});
    QCOMPARE(FDialogs->Messages[0].caption, kSummaryCaption);
    QCOMPARE(Lines(FDialogs->Messages[0].text)[0], QStringLiteral("EXTRACT: ") + extract);
    QCOMPARE(FDialogs->Messages[1].caption, kInstructionsCaption);
    QCOMPARE(FileBytes(ImportPathOf(extract)), std::optional<QByteArray>(kNecImport));
    // The open dialog then proposes the dropped file.
    QCOMPARE(Form1->OpenDialog.FileName, extract);
}

void ExtractRoadTest::dropOfOtherThanOneFileIsRefused_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QString>("text");
    QTest::newRow("two files") << QStringList{QStringLiteral("nec.txt"), QStringLiteral("loan.txt")}
                               << QString();
    QTest::newRow("a web address") << QStringList{QStringLiteral("https://example.com/nec.txt")}
                                   << QString();
    QTest::newRow("text only") << QStringList() << QStringLiteral("FORM 1099-NEC");
}

void ExtractRoadTest::dropOfOtherThanOneFileIsRefused()
{
    QFETCH(QStringList, urls);
    QFETCH(QString, text);
    StartProgram();
    WriteExtract(QStringLiteral("nec.txt"), kNec);
    WriteExtract(QStringLiteral("loan.txt"), kStudentLoan);
    QMimeData data;
    QList<QUrl> list;
    for (const QString& url : urls)
        list << (url.contains(QLatin1Char(':')) ? QUrl(url) : QUrl::fromLocalFile(FDir->filePath(url)));
    if (!list.isEmpty())
        data.setUrls(list);
    if (!text.isEmpty())
        data.setText(text);
    QVERIFY(!DropOnWindow(data));
    QVERIFY(FDialogs->Messages.empty());
    QVERIFY(Form1->ExtractFile.empty());
}

QTEST_MAIN(ExtractRoadTest)
#include "extract_road_test.moc"
