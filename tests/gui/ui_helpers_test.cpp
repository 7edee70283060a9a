// The window helpers, the dialogs seam and the top-level error handler.
#include "fake_dialogs.h"
#include "gui_test_util.h"

#include "ui/auto_size.h"
#include "ui/dialogs.h"
#include "ui/error_handler.h"
#include "ui/top_most_dialogs.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace ov;

namespace {

const char* const kTitle = "Orvane Data Merge Module ";

// An object whose every event handling fails, as a faulty handler would.
class FailingObject : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Handler failed");
        return QObject::event(event);
    }
};

} // namespace

class UiHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::SetApplicationTitle(kTitle); }

    void errorTextGetsFullStopByLastCharacter();
    void guardedShowsErrorInStopBox();
    void silentCancelShowsNothing();
    void errorEscapingAnEventIsShown();
    void messageBoxShowsMarkupAsPlainText();

    void autoSizeFixesClientAreaAtFirstShow();
    void autoSizeFollowsItsBoundsUntilShown();
    void autoSizeLeavesWindowAloneAfterFirstShow();
    void autoSizeWithoutWindowOwnerIsRefused();
    void deletedAutoSizeNoLongerSizes();

    void filtersBecomeQtNameFilters();
    void saveDialogCarriesItsSettings();
    void cancelledSaveDialogReportsNoFile();
};

void UiHelpersTest::errorTextGetsFullStopByLastCharacter()
{
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {
        {"Bad value", "Bad value."},
        {"Record 3", "Record 3."},
        {"Failed to open data extract:", "Failed to open data extract:."},
        {"Save?", "Save?."},
        {"C:\\DATA\\", "C:\\DATA\\."},
        {"ends in slash/", "ends in slash/."},       // code 47, one above the full stop
        {"Done.", "Done."},
        {"line\r\n", "line\r\n"},
        {"blank ", "blank "},
        {"quoted \"x\"", "quoted \"x\""},
        {"comma,", "comma,"},
        {"dash-", "dash-"},
        {"(paren)", "(paren)"},
        {"", ""},
        {"caf\xE9", "caf\xE9."},                  // a byte above 127 counts by its code
    };
    for (const Case& c : cases)
        QVERIFY2(ui::FormatErrorText(c.message) == c.shown, c.message);
}

void UiHelpersTest::guardedShowsErrorInStopBox()
{
    test::FakeDialogs dialogs;
    bool ranAfter = false;
    ui::Guarded([] { throw std::runtime_error("Cannot open file \"x.txt\"\r\nNo such file"); });
    ranAfter = true;
    QVERIFY(ranAfter);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
    const test::MessageCall& box = dialogs.Messages[0];
    QCOMPARE(box.caption, QString::fromLatin1(kTitle));
    QCOMPARE(box.text, QStringLiteral("Cannot open file \"x.txt\"\r\nNo such file."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    ui::Guarded([] {});
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
}

void UiHelpersTest::silentCancelShowsNothing()
{
    test::FakeDialogs dialogs;
    ui::Guarded([] { throw ui::ESilentCancel(); });
    QVERIFY(dialogs.Messages.empty());
}

void UiHelpersTest::errorEscapingAnEventIsShown()
{
    test::FakeDialogs dialogs;
    FailingObject receiver;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &event);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
    QCOMPARE(dialogs.Messages[0].text, QStringLiteral("Handler failed."));

    // The event loop goes on: a later event is handled normally.
    QEvent later(QEvent::None);
    QCoreApplication::sendEvent(&receiver, &later);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
}

void UiHelpersTest::messageBoxShowsMarkupAsPlainText()
{
    // The real boxes, as users see them.
    const QString text = QStringLiteral("EXTRACT = <b>C:\\x&amp;y.txt</b>");
    QString seenText, seenTitle;
    Qt::TextFormat seenFormat = Qt::AutoText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    test::WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return;
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenFormat = box->textFormat();
        seenIcon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    const auto answer = ui::MessageDlg(text, QStringLiteral("Caption"), QMessageBox::Warning,
                                       QMessageBox::Ok);
    QCOMPARE(answer, QMessageBox::Ok);
    QCOMPARE(seenFormat, Qt::PlainText);
    QCOMPARE(seenText, text);
    QCOMPARE(seenTitle, QStringLiteral("Caption"));
    QCOMPARE(seenIcon, QMessageBox::Warning);
}

void UiHelpersTest::autoSizeFixesClientAreaAtFirstShow()
{
    QDialog window;
    auto* helper = new ui::TAutoSize(&window);
    helper->SetBounds(686, 444, 2, 2);
    window.setFixedSize(686, 453); // another size set after the helper's
    QVERIFY(!helper->Sized());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(helper->Sized());
    QCOMPARE(window.size(), QSize(688, 446));
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

void UiHelpersTest::autoSizeFollowsItsBoundsUntilShown()
{
    QWidget window;
    auto* helper = new ui::TAutoSize(&window);
    struct Case {
        QRect bounds;
        QSize client;
    };
    const Case cases[] = {
        {{676, 417, 2, 2}, {678, 419}},
        {{100, 50, 2, 2}, {102, 52}},
        {{100, 50, 10, 20}, {110, 70}},
    };
    for (const Case& c : cases) {
        helper->SetBounds(c.bounds.left(), c.bounds.top(), c.bounds.width(), c.bounds.height());
        QCOMPARE(window.size(), c.client);
    }
}

void UiHelpersTest::autoSizeLeavesWindowAloneAfterFirstShow()
{
    QWidget window;
    auto* helper = new ui::TAutoSize(&window);
    helper->SetBounds(676, 417, 2, 2);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(678, 419));

    window.setFixedSize(400, 300);
    helper->SetBounds(10, 10, 2, 2);
    QCOMPARE(window.size(), QSize(400, 300));
    window.hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(400, 300));
}

void UiHelpersTest::autoSizeWithoutWindowOwnerIsRefused()
{
    QWidget window;
    auto* child = new QLabel(&window);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ui::TAutoSize{child});
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ui::TAutoSize{nullptr});
}

void UiHelpersTest::deletedAutoSizeNoLongerSizes()
{
    QWidget window;
    auto* helper = new ui::TAutoSize(&window);
    helper->SetBounds(676, 417, 2, 2);
    delete helper;
    window.setFixedSize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(300, 200));
}

void UiHelpersTest::filtersBecomeQtNameFilters()
{
    struct Case {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Text Files|*.txt", {"Text Files (*.txt)"}},
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*", {"Text files (*.txt)", "All files (*)"}},
        {"Pictures|*.png;*.jpg", {"Pictures (*.png *.jpg)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        QVERIFY2(ui::QtNameFilters(c.filter) == c.expected, qPrintable(c.filter));
}

void UiHelpersTest::saveDialogCarriesItsSettings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
    const QString chosen = dir.filePath(QStringLiteral("chosen.txt"));

    QString title, suffix, proposed;
    QStringList filters;
    bool confirmsOverwrite = false;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    test::WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr)
            return;
        title = dialog->windowTitle();
        suffix = dialog->defaultSuffix();
        filters = dialog->nameFilters();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        mode = dialog->acceptMode();
        proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    ui::TTopMostSaveDialog save;
    save.Title = QStringLiteral("SAVE FORM W-2 TEMPLATE");
    save.FileName = QStringLiteral("FORM W-2 TEMPLATE.txt");
    save.Filter = QStringLiteral("Text Files|*.txt");
    save.DefaultExt = QStringLiteral("txt");
    QVERIFY(save.Execute(nullptr));
    QCOMPARE(save.FileName, chosen);
    QCOMPARE(title, QStringLiteral("SAVE FORM W-2 TEMPLATE"));
    QCOMPARE(proposed, QStringLiteral("FORM W-2 TEMPLATE.txt"));
    QCOMPARE(filters, QStringList{QStringLiteral("Text Files (*.txt)")});
    QCOMPARE(suffix, QStringLiteral("txt"));
    QVERIFY(confirmsOverwrite);
    QCOMPARE(mode, QFileDialog::AcceptSave);
}

void UiHelpersTest::cancelledSaveDialogReportsNoFile()
{
    test::WhenModalShown([](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            dialog->reject();
    });
    ui::TTopMostSaveDialog save;
    save.FileName = QStringLiteral("FORM W-2 TEMPLATE.txt");
    QVERIFY(!save.Execute(nullptr));
    QCOMPARE(save.FileName, QStringLiteral("FORM W-2 TEMPLATE.txt"));
}

int main(int argc, char** argv)
{
    ui::TApplication application(argc, argv);
    UiHelpersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ui_helpers_test.moc"
