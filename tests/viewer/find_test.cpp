// find_test.cpp: the Find dialog and Find in the right pane, offscreen: notices, settings, directions, kinds, messages,
// highlight.
#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "right/find_state.hpp"
#include "right/friend_right_view.hpp"
#include "right/right_layout.hpp"
#include "shell/commands.hpp"
#include "shell/find_dialog.hpp"
#include "shell/find_notify.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Records the FindNotify codes it receives, standing in for the right pane.
class NoticeReceiver : public QObject {
public:
    QList<int> codes;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != FindNotifyEvent::kType)
            return QObject::event(event);
        codes << static_cast<FindNotifyEvent*>(event)->code();
        return true;
    }
};

template <typename Control> Control* control(QWidget& dialog, int id)
{
    return dialog.findChild<Control*>(QString::number(id));
}

// The dialog's widgets in tab order, from the first control.
QList<QWidget*> tabChain(QWidget& dialog)
{
    QList<QWidget*> chain;
    QWidget* first = control<QLineEdit>(dialog, FindDialog::IdFindWhat);
    QWidget* w = first;
    do {
        chain << w;
        w = w->nextInFocusChain();
    } while (w && w != first && chain.size() < 50);
    return chain;
}

} // namespace

class FindTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    FindDialog& dialog()
    {
        if (!right().m_pFindDlg)
            qFatal("no Find dialog");
        return *right().m_pFindDlg;
    }

    // Sections sys_init, DATA, data_and_data and 60 fillers after them; labels start_data and
    // init_data and a local data_local in sys_init, x_data in DATA.
    void loadProgram()
    {
        m_tree = std::make_unique<MemoryTree>("Carina");
        MemoryTree& t = *m_tree;
        IeSection* init = t.section("sys_init", 0x1000, 0x100);
        IeSection* data = t.section("DATA", 0x2000, 0x80);
        IeSection* both = t.section("data_and_data", 0x3000, 0x40);
        IeModule* mod = t.module("mod");
        t.part(mod, init, 0x1000, 0x100);
        t.part(mod, data, 0x2000, 0x80);
        t.part(mod, both, 0x3000, 0x40);
        for (int i = 0; i < 60; ++i)
            t.section(m_names.emplace_back("filler" + std::to_string(i)).c_str(), 0x10000 + 0x100u * i, 0x10);
        t.section("far_away", 0x20000, 0x10);
        t.global("start_data", 0x1000);
        t.global("init_data", 0x1004);
        t.local(mod, "data_local", 0x1008);
        t.global("x_data", 0x2000);
        markTreeLoaded(model(), &t.root);
        right().Invalidate();
    }

    QImage render() { return renderViewport(right()); }

    // Fills in the dialog as the user would and presses Find Next; the request is delivered.
    void findNext(
        const QString& text, int kind, int direction = SearchDown, bool matchCase = false, bool wildCard = false)
    {
        FindDialog& d = dialog();
        control<QLineEdit>(d, FindDialog::IdFindWhat)->setText(text);
        control<QRadioButton>(d, kind == SearchSection ? FindDialog::IdSection : FindDialog::IdLabel)->setChecked(true);
        control<QRadioButton>(d, direction == SearchUp ? FindDialog::IdUp : FindDialog::IdDown)->setChecked(true);
        control<QCheckBox>(d, FindDialog::IdMatchCase)->setChecked(matchCase);
        control<QCheckBox>(d, FindDialog::IdWildCard)->setChecked(wildCard);
        pressFindNext();
    }
    void pressFindNext()
    {
        QTest::mouseClick(control<QPushButton>(dialog(), FindDialog::IdFindNext), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(&right(), FindNotifyEvent::kType);
    }

    QString foundName()
    {
        const auto i = static_cast<size_t>(right().m_nFoundEntry);
        if (right().m_nFoundKind == SearchLabel)
            return QString::fromLatin1(model().LabelTable.at(i).name);
        if (model().ShowLocalInformation)
            return QString::fromLatin1(model().ModuleSectionTable.at(i).record->section->name);
        return QString::fromLatin1(model().SectionTable.at(i).record->name);
    }

private slots:
    void init()
    {
        QVERIFY(startApp(1000, 500));
        loadProgram();
    }

    void cleanup() { tearDown(); }

    // The dialog on its own, with a stand-in owner.

    void dialogControlsInTemplateOrder()
    {
        NoticeReceiver owner;
        FindDialog d(&owner);
        QCOMPARE(d.windowTitle(), QStringLiteral("Find"));
        QVERIFY(!d.isModal());
        QVERIFY(!d.isVisible()); // created hidden
        struct Expected {
            int id;
            const char* text;
        };
        const Expected expected[] = {
            { FindDialog::IdFindWhat, "" },
            { FindDialog::IdMatchCase, "Match Case" },
            { FindDialog::IdWildCard, "Wild Card" },
            { FindDialog::IdDown, "Down" },
            { FindDialog::IdUp, "Up" },
            { FindDialog::IdLabel, "Label" },
            { FindDialog::IdSection, "Section" },
            { FindDialog::IdFindNext, "Find Next" },
            { FindDialog::IdClose, "Close" },
        };
        d.show();
        const QList<QWidget*> chain = tabChain(d);
        int at = -1;
        for (const Expected& e : expected) {
            QWidget* w = d.findChild<QWidget*>(QString::number(e.id));
            QVERIFY2(w, qPrintable(QString::number(e.id)));
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                QCOMPARE(button->text(), QString::fromUtf8(e.text));
            // Later in the template, later in the tab order.
            const int position = static_cast<int>(chain.indexOf(w));
            QVERIFY2(position > at, qPrintable(QString::number(e.id)));
            at = position;
        }
        QStringList statics;
        for (const QLabel* label : d.findChildren<QLabel*>())
            statics << label->text();
        QCOMPARE(statics, (QStringList { "Find What:", "Direction:", "Select:" }));
        // Down and Label stand right of Up and Section.
        QVERIFY(control<QRadioButton>(d, FindDialog::IdDown)->x() > control<QRadioButton>(d, FindDialog::IdUp)->x());
        QVERIFY(
            control<QRadioButton>(d, FindDialog::IdLabel)->x() > control<QRadioButton>(d, FindDialog::IdSection)->x());
    }

    void dialogStartsFromItsMembers()
    {
        NoticeReceiver owner;
        FindDialog d(&owner);
        QCOMPARE(control<QLineEdit>(d, FindDialog::IdFindWhat)->text(), QString());
        QVERIFY(control<QCheckBox>(d, FindDialog::IdMatchCase)->isChecked());
        QVERIFY(!control<QCheckBox>(d, FindDialog::IdWildCard)->isChecked());
        QVERIFY(control<QRadioButton>(d, FindDialog::IdDown)->isChecked());
        QVERIFY(control<QRadioButton>(d, FindDialog::IdLabel)->isChecked());

        d.SetFindText(QStringLiteral("abc"));
        d.SetSearchKind(SearchSection);
        QCOMPARE(control<QLineEdit>(d, FindDialog::IdFindWhat)->text(), QStringLiteral("abc"));
        QVERIFY(control<QRadioButton>(d, FindDialog::IdSection)->isChecked());

        // Plain reads see the controls only after an exchange.
        control<QRadioButton>(d, FindDialog::IdUp)->setChecked(true);
        control<QCheckBox>(d, FindDialog::IdWildCard)->setChecked(true);
        control<QLineEdit>(d, FindDialog::IdFindWhat)->setText(QStringLiteral("xyz"));
        QCOMPARE(d.m_nDirection, 0);
        QCOMPARE(d.GetFindText(), QStringLiteral("xyz"));
        QCOMPARE(d.m_nDirection, 1);
        QCOMPARE(d.m_bWildCard, 1);
        QCOMPARE(d.m_nKind, 1);
    }

    void findNextPostsAfterReadingTheControls()
    {
        NoticeReceiver owner;
        FindDialog d(&owner);
        d.show();
        control<QLineEdit>(d, FindDialog::IdFindWhat)->setText(QStringLiteral("main"));
        QTest::mouseClick(control<QPushButton>(d, FindDialog::IdFindNext), Qt::LeftButton);
        QCOMPARE(d.m_strFind, QStringLiteral("main"));
        QVERIFY(owner.codes.isEmpty()); // posted, not sent
        QCoreApplication::sendPostedEvents(&owner);
        QCOMPARE(owner.codes, QList<int> { FindNextRequest });
    }

    void closeSendsFindClosingTwice()
    {
        NoticeReceiver owner;
        QPointer<FindDialog> d = new FindDialog(&owner);
        d->show();
        QTest::mouseClick(control<QPushButton>(*d, FindDialog::IdClose), Qt::LeftButton);
        QCOMPARE(owner.codes, (QList<int> { FindClosing, FindClosing }));
        QVERIFY(!d->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(d.isNull());
    }

    void enterEscapeAndTheCloseBoxLeaveItOpen_data()
    {
        QTest::addColumn<int>("action");
        QTest::newRow("Escape") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Return in the text") << 2;
        QTest::newRow("close box") << 3;
    }
    void enterEscapeAndTheCloseBoxLeaveItOpen()
    {
        QFETCH(int, action);
        NoticeReceiver owner;
        FindDialog d(&owner);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QLineEdit* edit = control<QLineEdit>(d, FindDialog::IdFindWhat);
        edit->setText(QStringLiteral("abc"));
        switch (action) {
        case 0:
            QTest::keyClick(&d, Qt::Key_Escape);
            break;
        case 1:
            QTest::keyClick(&d, Qt::Key_Enter);
            break;
        case 2:
            QTest::keyClick(edit, Qt::Key_Return);
            break;
        default:
            QVERIFY(!d.close());
            break;
        }
        QCoreApplication::sendPostedEvents(&owner);
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), 0);
        QVERIFY(owner.codes.isEmpty());
    }

    // The dialog with the right pane.

    void findCommandsOpenOneDialog_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("tool bar twice") << int(ID_FIND_TOOL) << int(ID_FIND_TOOL);
        QTest::newRow("menu then tool bar") << int(ID_FIND_MENU) << int(ID_FIND_TOOL);
    }
    void findCommandsOpenOneDialog()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        frame().SetActiveView(&right());
        QVERIFY(frame().router().dispatch(first));
        FindDialog* opened = right().m_pFindDlg;
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        findNext(QStringLiteral("data"), SearchSection);
        const int32_t entry = right().m_nFoundEntry;
        QVERIFY(frame().router().dispatch(second));
        QCOMPARE(right().m_pFindDlg, opened);
        QCOMPARE(control<QLineEdit>(*opened, FindDialog::IdFindWhat)->text(), QStringLiteral("data"));
        QCOMPARE(right().m_nFoundEntry, entry);
        QCOMPARE(frame().findChildren<FindDialog*>().size(), 1);
    }

    void findCommandsNeedAFileAndTheMenuTheRightPane()
    {
        QVERIFY(frame().m_pLeftView);
        frame().SetActiveView(frame().m_pLeftView);
        QVERIFY(frame().router().state(ID_FIND_TOOL).enabled);
        QVERIFY(!frame().router().state(ID_FIND_MENU).enabled);
        frame().SetActiveView(&right());
        QVERIFY(frame().router().state(ID_FIND_MENU).enabled);
        model().FileLoaded = false;
        QVERIFY(!frame().router().state(ID_FIND_MENU).enabled);
        QVERIFY(!frame().router().state(ID_FIND_TOOL).enabled);
    }

    void openingStartsFromTheLastSearch()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("data"), SearchSection);
        QVERIFY(right().m_nFoundLine > 0);
        QTest::mouseClick(control<QPushButton>(dialog(), FindDialog::IdClose), Qt::LeftButton);
        QVERIFY(!right().m_pFindDlg);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The highlight survives the dialog; reopening puts the position back to the start.
        QVERIFY(right().m_nFoundLine > 0);
        right().OpenFindDialog();
        QCOMPARE(right().m_nFoundLine, 0);
        QCOMPARE(right().m_nFoundOffset, -1);
        QCOMPARE(right().m_nFoundEntry, 0);
        QCOMPARE(control<QLineEdit>(dialog(), FindDialog::IdFindWhat)->text(), QStringLiteral("data"));
        QVERIFY(control<QRadioButton>(dialog(), FindDialog::IdLabel)->isChecked());
    }

    void changedSettingsTakeEffect_data()
    {
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wildCard");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::newRow("case folded") << false << false << "data"
                                     << "DATA" << 0 << 4;
        QTest::newRow("match case") << true << false << "data"
                                    << "data_and_data" << 0 << 4;
        QTest::newRow("wild card") << true << true << "*init"
                                   << "sys_init" << 0 << 8;
        QTest::newRow("wild card off") << true << false << "*init"
                                       << "" << 0 << 0;
    }
    void changedSettingsTakeEffect()
    {
        QFETCH(bool, matchCase);
        QFETCH(bool, wildCard);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(int, offset);
        QFETCH(int, length);
        right().OpenFindDialog();
        findNext(text, SearchSection, SearchDown, matchCase, wildCard);
        if (name.isEmpty()) {
            QCOMPARE(m_run->platform().messages, QStringList { "Can't Find" });
            return;
        }
        QVERIFY(m_run->platform().messages.isEmpty());
        QCOMPARE(foundName(), name);
        QCOMPARE(right().m_nFoundOffset, offset);
        QCOMPARE(right().m_nFoundLength, length);
        QCOMPARE(right().m_nFoundKind, int(SearchSection));
    }

    void downThenUpFindsThePreviousMatch()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("data"), SearchSection);
        findNext(QStringLiteral("data"), SearchSection);
        findNext(QStringLiteral("data"), SearchSection);
        QCOMPARE(foundName(), QStringLiteral("data_and_data"));
        QCOMPARE(right().m_nFoundOffset, 9);
        findNext(QStringLiteral("data"), SearchSection, SearchUp);
        QCOMPARE(foundName(), QStringLiteral("data_and_data"));
        QCOMPARE(right().m_nFoundOffset, 0);
        findNext(QStringLiteral("data"), SearchSection, SearchUp);
        QCOMPARE(foundName(), QStringLiteral("DATA"));
        QCOMPARE(right().m_nFoundLine, model().SectionTable[static_cast<size_t>(right().m_nFoundEntry)].startLine);
        QVERIFY(m_run->platform().messages.isEmpty());
    }

    void changingTheKindRestarts()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("data"), SearchSection);
        findNext(QStringLiteral("data"), SearchSection);
        QCOMPARE(foundName(), QStringLiteral("data_and_data"));
        findNext(QStringLiteral("data"), SearchLabel);
        QCOMPARE(foundName(), QStringLiteral("start_data"));
        findNext(QStringLiteral("data"), SearchSection);
        QCOMPARE(foundName(), QStringLiteral("DATA"));
    }

    void localLabelsOnlyInLocalMode()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("data_local"), SearchLabel);
        QCOMPARE(m_run->platform().messages, QStringList { "Can't Find" });
        QCOMPARE(right().m_nFoundLine, 0);

        QVERIFY(frame().router().dispatch(ID_SHOW_LOCAL_INFORMATION));
        QVERIFY(model().ShowLocalInformation);
        findNext(QStringLiteral("data_local"), SearchLabel);
        QCOMPARE(m_run->platform().messages.size(), 1);
        QCOMPARE(foundName(), QStringLiteral("data_local"));
        QVERIFY(right().m_nFoundLine > 0);
    }

    void cantFindLeavesTheStateAndDoesNotWrap()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("x_data"), SearchLabel);
        QVERIFY(m_run->platform().messages.isEmpty());
        const int32_t line = right().m_nFoundLine;
        const int32_t entry = right().m_nFoundEntry;
        for (int press = 1; press <= 2; ++press) {
            pressFindNext();
            QCOMPARE(m_run->platform().messages.size(), press);
            QCOMPARE(m_run->platform().messages.last(), QStringLiteral("Can't Find"));
            QCOMPARE(m_run->platform().owners.last(), static_cast<QWidget*>(&dialog()));
            QCOMPARE(right().m_nFoundLine, line);
            QCOMPARE(right().m_nFoundEntry, entry);
            QCOMPARE(right().m_nFoundOffset, 0);
            QCOMPARE(right().m_nFoundLength, 6);
        }
    }

    void emptyTextDoesNothing()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("data"), SearchSection);
        const int32_t entry = right().m_nFoundEntry;
        findNext(QString(), SearchLabel);
        QVERIFY(m_run->platform().messages.isEmpty());
        QCOMPARE(right().m_nFoundKind, int(SearchSection));
        QCOMPARE(right().m_nFoundEntry, entry);
        QCOMPARE(right().m_strLastFind, QStringLiteral("data"));
    }

    void aMatchOffThePageComesToTheTop()
    {
        frame().resize(1000, 300);
        QCoreApplication::processEvents();
        right().OpenFindDialog();
        findNext(QStringLiteral("far_away"), SearchSection);
        const int32_t line = right().m_nFoundLine;
        QVERIFY(line > 40);
        // The bar may bring the top line back to the last page; the matched line stays in view.
        QVERIFY(right().m_nTopLine <= line);
        QVERIFY(right().m_nTopLine > 1);
        findNext(QStringLiteral("sys"), SearchSection, SearchUp);
        QCOMPARE(right().m_nTopLine, right().m_nFoundLine);
    }

    void theMatchIsInverted_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("section") << int(SearchSection) << "and";
        QTest::newRow("label") << int(SearchLabel) << "init";
    }
    void theMatchIsInverted()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        right().OpenFindDialog();
        const QImage before = render();
        findNext(text, kind, SearchDown, true);
        QVERIFY(m_run->platform().messages.isEmpty());
        const QImage after = render();
        const int cw = right().m_nCharWidth;
        const int h = right().m_nLineHeight;
        const ColumnInfo& cell = column(right().m_columns, kind == SearchSection ? ColumnSection : ColumnLabel);
        const int lead = kind == SearchSection ? 4 : model().AddressDigits + 5;
        const int x = cell.nLeft + cw * (right().m_nFoundOffset + lead);
        const int y = (right().m_nFoundLine - right().m_nTopLine + 1) * h;
        const QRect match(x, y, cw * right().m_nFoundLength, h);
        // The top pixel row of a cell holds no glyph: it flips from the background to its inverse.
        const QPoint probe(match.center().x(), match.top());
        const QRgb was = before.pixel(probe);
        const QRgb now = after.pixel(probe);
        QCOMPARE(qRed(now), 255 - qRed(was));
        QCOMPARE(qGreen(now), 255 - qGreen(was));
        QCOMPARE(qBlue(now), 255 - qBlue(was));
        // Just outside the match nothing changed.
        const QPoint left(match.left() - 2, match.top());
        const QPoint right(match.right() + 3, match.top());
        QCOMPARE(after.pixel(left), before.pixel(left));
        QCOMPARE(after.pixel(right), before.pixel(right));
    }

    void theHighlightFollowsARelayout()
    {
        right().OpenFindDialog();
        findNext(QStringLiteral("x_data"), SearchLabel);
        const int32_t entry = right().m_nFoundEntry;
        QVERIFY(frame().router().dispatch(ID_SHOW_LOCAL_INFORMATION));
        render(); // the paint lays the list out again
        QCOMPARE(right().m_nFoundEntry, entry);
        QCOMPARE(right().m_nFoundLine, model().LabelTable[static_cast<size_t>(entry)].line);
        QVERIFY(right().m_nFoundLine > 0);
    }

    void rightPaneGoneClearsTheOwner()
    {
        right().OpenFindDialog();
        QPointer<FindDialog> d = right().m_pFindDlg;
        // Keep the dialog out of the frame's own clean-up to watch what the pane did to it.
        d->setParent(nullptr, d->windowFlags());
        m_run->closeApp();
        QVERIFY(!d.isNull());
        QCOMPARE(d->m_pOwner, nullptr);
        QVERIFY(!d->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(d.isNull());
    }

    void typedTextIsReadAsNameBytes()
    {
        // Names are bytes read as ISO 8859-1, and so is what the user types: "été" finds the
        // label E9 74 E9, "µP" the section data_B5 50. The euro sign stands for no byte (not 0x80
        // either), so it finds nothing, with or without wild cards.
        m_tree = std::make_unique<MemoryTree>("Carina");
        m_tree->section("data_\xB5P", 0x1000, 0x100);
        m_tree->global("\xE9t\xE9", 0x1000);
        m_tree->global("\x80", 0x1004);
        markTreeLoaded(model(), &m_tree->root);
        right().Invalidate();
        right().OpenFindDialog();
        findNext(QString::fromUtf8("été"), SearchLabel, SearchDown, true);
        QCOMPARE(m_run->platform().messages, QStringList());
        QCOMPARE(foundName(), QString::fromLatin1("\xE9t\xE9"));
        findNext(QString::fromUtf8("µp"), SearchSection);
        QCOMPARE(m_run->platform().messages, QStringList());
        QCOMPARE(foundName(), QString::fromLatin1("data_\xB5P"));
        QCOMPARE(right().m_nFoundOffset, 5);
        for (const bool wildCard : { false, true }) {
            findNext(QString::fromUtf8(wildCard ? "*€" : "€"), SearchLabel, SearchDown, false, wildCard);
            QCOMPARE(m_run->platform().messages.size(), wildCard ? 2 : 1);
            QCOMPARE(m_run->platform().messages.back(), QStringLiteral("Can't Find"));
        }
    }

    void noFileMeansCantFind()
    {
        right().OpenFindDialog();
        model().FileLoaded = false;
        findNext(QStringLiteral("data"), SearchSection);
        QCOMPARE(m_run->platform().messages, QStringList { "Can't Find" });
        QCOMPARE(right().m_nFoundLine, 0);
    }
};

QTEST_MAIN(FindTest)
#include "find_test.moc"
