// The main window: start state, the form choice with its completion, the
// field selection list with its ticks and hints, and "&Display Template".
#include "fake_dialogs.h"
#include "gui_test_util.h"

#include "app/main_window.h"
#include "schema/schema.h"
#include "template/template_window.h"
#include "ui/error_handler.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

using namespace ov;

namespace {

const QString kFirstCaption =
    QStringLiteral("TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST");
const QString kFieldCaption = QStringLiteral("CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA");

// Types `keys` into the form choice as the user does.
void TypeIntoForm(const QString& keys)
{
    Form1->coForm->setFocus();
    QTest::keyClicks(Form1->coForm->lineEdit(), keys);
}

void ChooseForm(const QString& title)
{
    Form1->coForm->lineEdit()->selectAll();
    TypeIntoForm(title);
    QCOMPARE(Form1->coForm->currentText(), title);
}

// Clicks the check box of row `row` (from 0).
void ClickCheckBox(int row)
{
    QTreeWidget* list = Form1->lvDestination;
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    const QRect rowRect = list->visualItemRect(item);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = rowRect;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

// Clicks the caption of row `row`, away from its check box.
void ClickCaption(int row)
{
    QTreeWidget* list = Form1->lvDestination;
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    const QRect rowRect = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rowRect.left() + 120, rowRect.center().y()));
}

int RowOf(const QString& label)
{
    const auto found = Form1->lvDestination->findItems(label, Qt::MatchExactly, 0);
    return found.isEmpty() ? -1 : Form1->lvDestination->indexOfTopLevelItem(found[0]);
}

QStringList RowLabels()
{
    QStringList labels;
    for (int i = 0; i < Form1->FieldCount(); ++i)
        labels << QString::fromStdString(Form1->FieldLabel(i));
    return labels;
}

// Shows the template with "&Display Template" and returns the document
// lines and where the window stood, closing it with "&Close".
struct ShownTemplate {
    QStringList lines;
    QPoint position;
    QSize clientSize;
    bool shown = false;
};
ShownTemplate DisplayTemplate()
{
    ShownTemplate seen;
    test::WhenModalShown([&](QWidget* modal) {
        if (modal != fmTemplate)
            return;
        seen.shown = true;
        seen.lines = fmTemplate->Lines();
        seen.position = fmTemplate->pos();
        seen.clientSize = fmTemplate->size();
        QTest::mouseClick(fmTemplate->bClose, Qt::LeftButton);
    });
    QTest::mouseClick(Form1->bDisplay, Qt::LeftButton);
    return seen;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::SetApplicationTitle("Orvane Data Merge Module "); }
    void init()
    {
        CreateForms();
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }
    void cleanup() { DestroyForms(); }

    void startsEmptyWithFormsOffered();
    void windowHasFixedDesignedLayout();
    void dropDownShowsAllFormsWithoutScrollBar();
    void typingCompletesToFirstMatchingTitle();
    void erasingDoesNotComplete();
    void pickingFromListFillsRows();
    void newChoiceDropsTicks();
    void tickShowsHintOfItsType();
    void tickingSelectsRowAndEnablesDisplay();
    void untickingClearsPaneAndFollowsCount();
    void clickingCaptionShowsHintWithoutTicking();
    void displayWritesExampleDocument();
    void displayWithAllRowsTicked();
    void displayTwiceGivesSameDocument();
    void displayErrorGoesToErrorBox();
};

void MainWindowTest::startsEmptyWithFormsOffered()
{
    QCOMPARE(Form1->windowTitle(), QStringLiteral("Orvane Data Merge Module [ 2021 ]"));
    QCOMPARE(Form1->coForm->count(), 35);
    QCOMPARE(Form1->coForm->itemText(0), QStringLiteral("1094"));
    QCOMPARE(Form1->coForm->itemText(34), QStringLiteral("W-2G"));
    for (const char* hidden : {"Clients", "Sponsors", "ALE Group"})
        QVERIFY2(Form1->coForm->findText(QLatin1String(hidden), Qt::MatchFixedString) < 0, hidden);
    QCOMPARE(Form1->coForm->currentIndex(), -1);
    QCOMPARE(Form1->coForm->currentText(), QString());
    QCOMPARE(Form1->lvDestination->topLevelItemCount(), 0);
    QCOMPARE(Form1->lvDestination->headerItem()->text(0), kFirstCaption);
    QCOMPARE(Form1->TypeStatus->text(), QString());
    QVERIFY(!Form1->bDisplay->isEnabled());
    QVERIFY(Form1->bVerify->isEnabled());
    QCOMPARE(Form1->bDisplay->text(), QStringLiteral("&Display Template"));
    QCOMPARE(Form1->bVerify->text(), QStringLiteral("&Verify an Extract"));
    QVERIFY(Form1->ExtractLines && Form1->RecordValues && Form1->ImportLines);
    QVERIFY(fmTemplate != nullptr && !fmTemplate->isVisible());
}

void MainWindowTest::windowHasFixedDesignedLayout()
{
    QCOMPARE(Form1->size(), QSize(678, 419));
    QCOMPARE(Form1->minimumSize(), QSize(678, 419));
    QCOMPARE(Form1->maximumSize(), QSize(678, 419));
    const Qt::WindowFlags flags = Form1->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);

    struct Case {
        QWidget* control;
        QRect bounds;
    };
    const Case cases[] = {
        {Form1->coForm, {8, 10, 102, 21}},
        {Form1->bDisplay, {8, 333, 102, 25}},
        {Form1->bVerify, {8, 364, 102, 25}},
        {Form1->lvDestination, {118, 10, 549, 380}},
        {Form1->TypeStatus, {118, 394, 552, 20}},
    };
    for (const Case& c : cases)
        QVERIFY2(c.control->geometry() == c.bounds, qPrintable(c.control->objectName()));

    // Tab order: the form choice, the two buttons, the list, and round again.
    Form1->bDisplay->setEnabled(true);
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    Form1->coForm->setFocus();
    const QWidget* const order[] = {Form1->bDisplay, Form1->bVerify, Form1->lvDestination,
                                    Form1->coForm};
    for (const QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // The form choice takes the focus in its edit field.
        const QWidget* focused = QApplication::focusWidget();
        if (focused == Form1->coForm->lineEdit())
            focused = Form1->coForm;
        QVERIFY2(focused == expected, qPrintable(expected->objectName() + QStringLiteral(" / ")
                                                + (focused ? focused->metaObject()->className() : "none")));
    }
}

void MainWindowTest::dropDownShowsAllFormsWithoutScrollBar()
{
    Form1->coForm->showPopup();
    QAbstractItemView* view = Form1->coForm->view();
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(view->model()->rowCount(), 35);
    QCOMPARE(view->verticalScrollBar()->maximum(), 0);
    Form1->coForm->hidePopup();
}

void MainWindowTest::typingCompletesToFirstMatchingTitle()
{
    struct Case {
        const char* typed;
        const char* shown;     // text of the form choice afterwards
        const char* completed; // the part completed and left selected
        int rows;
    };
    const Case cases[] = {
        {"W", "W-2", "-2", 63},
        {"w", "W-2", "-2", 63},
        {"w-2c", "W-2C", "", 98},
        {"1095-B", "1095-B", "", 39},
        {"1095-B ", "1095-B CI", "CI", 22},
        {"1098-", "1098-C", "C", 32},
        {"1099-m", "1099-MISC", "ISC", 40},
        {"5498-e", "5498-ESA", "SA", 19},
        {"X", "X", "", 0},
        {"1099-Z", "1099-Z", "", 0},
    };
    for (const Case& c : cases) {
        DestroyForms();
        CreateForms();
        Form1->show();
        TypeIntoForm(QLatin1String(c.typed));
        const QString shown = QLatin1String(c.shown);
        QVERIFY2(Form1->coForm->currentText() == shown, c.typed);
        QVERIFY2(Form1->coForm->lineEdit()->selectedText() == QLatin1String(c.completed), c.typed);
        QVERIFY2(Form1->lvDestination->topLevelItemCount() == c.rows, c.typed);
        const int entry = Form1->coForm->findText(shown);
        QVERIFY2(Form1->coForm->currentIndex() == entry, c.typed);
        QVERIFY2(Form1->lvDestination->headerItem()->text(0) == kFieldCaption, c.typed);
    }
}

void MainWindowTest::erasingDoesNotComplete()
{
    struct Case {
        const char* typed;
        int backspaces;
        const char* shown;
        int rows;
    };
    const Case cases[] = {
        {"W", 1, "W", 0},       // the completion "-2" goes, nothing is selected
        {"W", 2, "", 0},
        {"W-2C", 1, "W-2", 63}, // what is left is a title: it is selected
        {"1099-MISC", 4, "1099-", 0},
    };
    for (const Case& c : cases) {
        DestroyForms();
        CreateForms();
        Form1->show();
        TypeIntoForm(QLatin1String(c.typed));
        Form1->SetFieldTicked(0, true);
        for (int i = 0; i < c.backspaces; ++i)
            QTest::keyClick(Form1->coForm->lineEdit(), Qt::Key_Backspace);
        QVERIFY2(Form1->coForm->currentText() == QLatin1String(c.shown), c.typed);
        QVERIFY2(Form1->lvDestination->topLevelItemCount() == c.rows, c.typed);
        QVERIFY2(Form1->coForm->currentIndex() == Form1->coForm->findText(QLatin1String(c.shown)),
                 c.typed);
        QVERIFY2(!Form1->bDisplay->isEnabled(), c.typed);
    }
}

void MainWindowTest::pickingFromListFillsRows()
{
    struct Case {
        int entry;
        const char* title;
        int rows;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {0, "1094", 72, "Client ID", "DEC Column (d)"},
        {34, "W-2G", 32, "Name line 1", "Client ID"},
        {7, "1098-E", 19, "Name line 1", "Client ID"},
    };
    for (const Case& c : cases) {
        Form1->coForm->setFocus();
        // Up and Down pick the neighbouring entry as the list does.
        Form1->coForm->setCurrentIndex(c.entry == 0 ? 1 : c.entry - 1);
        QTest::keyClick(Form1->coForm, c.entry == 0 ? Qt::Key_Up : Qt::Key_Down);
        QVERIFY2(Form1->coForm->currentText() == QLatin1String(c.title), c.title);
        QVERIFY2(Form1->FieldCount() == c.rows, c.title);
        QVERIFY2(Form1->FieldLabel(0) == c.first, c.title);
        QVERIFY2(Form1->FieldLabel(c.rows - 1) == c.last, c.title);
    }
    // Each row holds its label and type code, the descriptor split at character 1.
    std::vector<std::string> descriptors;
    GetFormFields(10, descriptors);
    QCOMPARE(Form1->FieldCount(), static_cast<int>(descriptors.size()));
    for (int i = 0; i < Form1->FieldCount(); ++i) {
        QCOMPARE(Form1->FieldTypeCode(i), descriptors[static_cast<std::size_t>(i)][0]);
        QCOMPARE(Form1->FieldLabel(i), descriptors[static_cast<std::size_t>(i)].substr(1));
        QVERIFY(!Form1->FieldTicked(i));
    }
    QVERIFY(Form1->lvDestination->isColumnHidden(1));
}

void MainWindowTest::newChoiceDropsTicks()
{
    ChooseForm(QStringLiteral("1098-E"));
    ClickCheckBox(0);
    ClickCheckBox(3);
    QCOMPARE(Form1->CheckedFieldCount(), 2);

    // The same form again refills too.
    emit Form1->coForm->activated(Form1->coForm->currentIndex());
    QCOMPARE(Form1->FieldCount(), 19);
    QCOMPARE(Form1->CheckedFieldCount(), 0);
    QVERIFY(!Form1->bDisplay->isEnabled());

    ClickCheckBox(1);
    ChooseForm(QStringLiteral("W-2G"));
    QCOMPARE(Form1->FieldCount(), 32);
    QCOMPARE(Form1->CheckedFieldCount(), 0);
    QVERIFY(!Form1->bDisplay->isEnabled());
}

void MainWindowTest::tickShowsHintOfItsType()
{
    // Codes that differ only in letter case show different hints.
    struct Case {
        char code;
        const char* hint;
    };
    const Case cases[] = {
        {'C', "CURRENCY - Negative amounts reflect losses"},
        {'c', "CURRENCY - Cannot be negative"},
        {'D', "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)"},
        {'d', "DATE - Not Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)"},
        {'N', "TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX"},
        {'n', "SOCIAL SECURITY NUMBER - Enter as 9 digits or XXX-XX-XXXX"},
        {'O', "REQUIRED - Origin of Health Coverage Code (A-G)"},
        {'o', "Offer of Coverage Code (1A - 1S)"},
        {'Y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Required"},
        {'y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required"},
        {'I', "INDICATOR: { Y, YES, T, TRUE, 1 }=TRUE, { N, NO, F, FALSE, 0 }=FALSE"},
        {'E', "Identifiable Event Code -- Refer to Instructions for Form 1099-C"},
    };
    for (const Case& c : cases) {
        // The first offered form with a field of that code, and that field's row.
        int form = -1;
        int row = -1;
        for (int f = kFirstOfferedForm; f < kFormNameCount && row < 0; ++f) {
            std::vector<std::string> descriptors;
            GetFormFields(static_cast<unsigned char>(f), descriptors);
            for (std::size_t i = 0; i < descriptors.size() && row < 0; ++i)
                if (descriptors[i][0] == c.code) {
                    form = f;
                    row = static_cast<int>(i);
                }
        }
        QVERIFY2(row >= 0, c.hint);
        ChooseForm(QString::fromLatin1(FormNames[static_cast<std::size_t>(form)].data(),
                                       static_cast<qsizetype>(FormNames[static_cast<std::size_t>(form)].size())));
        Form1->TypeStatus->clear();
        ClickCheckBox(row);
        QVERIFY2(Form1->FieldTicked(row), c.hint);
        QVERIFY2(Form1->TypeStatus->text() == QLatin1String(c.hint), c.hint);
    }
}

void MainWindowTest::tickingSelectsRowAndEnablesDisplay()
{
    ChooseForm(QStringLiteral("1098-E"));
    const int interest = RowOf(QStringLiteral("Box 1 - Student loan interest received"));
    const int name = RowOf(QStringLiteral("Name line 1"));
    QVERIFY(interest > 0 && name == 0);

    ClickCaption(name);
    QCOMPARE(Form1->TypeStatus->text(), QStringLiteral("STRING DATA - No special formatting required"));
    QVERIFY(!Form1->bDisplay->isEnabled());

    // Ticked from the keyboard on another row: the selection moves to it.
    Form1->lvDestination->setFocus();
    {
        const QSignalBlocker blocker(Form1->lvDestination->selectionModel());
        Form1->lvDestination->setCurrentItem(Form1->lvDestination->topLevelItem(interest),
                                             0, QItemSelectionModel::NoUpdate);
    }
    QTest::keyClick(Form1->lvDestination, Qt::Key_Space);
    QVERIFY(Form1->FieldTicked(interest));
    QCOMPARE(Form1->lvDestination->selectedItems(),
             QList<QTreeWidgetItem*>{Form1->lvDestination->topLevelItem(interest)});
    QCOMPARE(Form1->TypeStatus->text(), QStringLiteral("CURRENCY - Cannot be negative"));
    QVERIFY(Form1->bDisplay->isEnabled());
    QCOMPARE(Form1->CheckedFieldCount(), 1);
}

void MainWindowTest::untickingClearsPaneAndFollowsCount()
{
    ChooseForm(QStringLiteral("1098-E"));
    ClickCheckBox(0);
    ClickCheckBox(14);
    QCOMPARE(Form1->CheckedFieldCount(), 2);

    ClickCheckBox(14);
    QVERIFY(!Form1->FieldTicked(14));
    QCOMPARE(Form1->TypeStatus->text(), QString());
    QVERIFY(Form1->bDisplay->isEnabled());

    ClickCheckBox(0);
    QCOMPARE(Form1->TypeStatus->text(), QString());
    QCOMPARE(Form1->CheckedFieldCount(), 0);
    QVERIFY(!Form1->bDisplay->isEnabled());

    ClickCheckBox(11);
    QVERIFY(Form1->bDisplay->isEnabled());
}

void MainWindowTest::clickingCaptionShowsHintWithoutTicking()
{
    ChooseForm(QStringLiteral("1098-E"));
    ClickCheckBox(0);
    ClickCaption(14);
    QCOMPARE(Form1->TypeStatus->text(), QStringLiteral("CURRENCY - Cannot be negative"));
    QVERIFY(!Form1->FieldTicked(14));
    QVERIFY(Form1->FieldTicked(0));
    ClickCaption(11);
    QCOMPARE(Form1->TypeStatus->text(),
             QStringLiteral("TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX"));
    QCOMPARE(Form1->CheckedFieldCount(), 1);
}

void MainWindowTest::displayWritesExampleDocument()
{
    ChooseForm(QStringLiteral("1098-E"));
    ClickCheckBox(0);
    ClickCheckBox(11);
    ClickCheckBox(14);
    Form1->move(40, 30);

    const ShownTemplate seen = DisplayTemplate();
    QVERIFY(seen.shown);
    QVERIFY(!fmTemplate->isVisible());
    QCOMPARE(seen.lines.size(), 37 + 3);
    const QStringList opening = {
        "FORM 1098-E", "KEY 0191000000000010010000", "{BEGIN DATA}", "Name line 1",
        "Taxpayer id", "Box 1 - Student loan interest received", "{END DATA}",
    };
    QCOMPARE(seen.lines.mid(0, 7), opening);
    QVERIFY(seen.lines.contains(
        QStringLiteral("   Name this file as you like (1098-E_EXTRACT.txt is suggested).")));
    const QString callLine = QStringLiteral("   ") + QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                             + QStringLiteral(" \"File specification\"");
    QVERIFY2(seen.lines.contains(callLine), qPrintable(callLine));
    QCOMPARE(seen.lines.last(),
             QStringLiteral("   This is easily implemented using Windows ShellExecute() function."));

    // The template window opens over the main window, at its client size.
    QCOMPARE(seen.position, Form1->pos());
    QCOMPARE(seen.clientSize, QSize(688, 446));

    // Closing it keeps the document.
    QCOMPARE(fmTemplate->Lines(), seen.lines);
}

void MainWindowTest::displayWithAllRowsTicked()
{
    ChooseForm(QStringLiteral("1094"));
    for (int i = 0; i < Form1->FieldCount(); ++i)
        Form1->SetFieldTicked(i, true);
    const ShownTemplate seen = DisplayTemplate();
    QCOMPARE(seen.lines.size(), 72 + 37);
    QCOMPARE(seen.lines[1], QStringLiteral("KEY 072") + QString(72, QLatin1Char('1')));
    QCOMPARE(seen.lines.mid(3, 72), RowLabels());
}

void MainWindowTest::displayTwiceGivesSameDocument()
{
    ChooseForm(QStringLiteral("W-2"));
    ClickCheckBox(2);
    const ShownTemplate first = DisplayTemplate();
    Form1->move(200, 120);
    const ShownTemplate second = DisplayTemplate();
    QCOMPARE(second.lines, first.lines);
    QCOMPARE(second.lines.size(), 38);
    QCOMPARE(second.position, QPoint(200, 120));
}

void MainWindowTest::displayErrorGoesToErrorBox()
{
    test::FakeDialogs dialogs;
    ChooseForm(QStringLiteral("W-2"));
    ClickCheckBox(2);
    delete fmTemplate;
    QTest::mouseClick(Form1->bDisplay, Qt::LeftButton);
    QCOMPARE(dialogs.Messages.size(), std::size_t{1});
    QCOMPARE(dialogs.Messages[0].icon, QMessageBox::Critical);
    QCOMPARE(dialogs.Messages[0].caption, QStringLiteral("Orvane Data Merge Module "));
    QCOMPARE(dialogs.Messages[0].text, QStringLiteral("The template window does not exist."));
    QVERIFY(Form1->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
