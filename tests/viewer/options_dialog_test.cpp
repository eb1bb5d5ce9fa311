// options_dialog_test.cpp: the options dialog offscreen: layout in dialog units, data exchange, enabling, the OK checks
// and the round trip.
#include "map_document.hpp"
#include "map_model.hpp"
#include "shell/about_dialog.hpp"
#include "shell/commands.hpp"
#include "shell/dialog_template.hpp"
#include "shell/find_dialog.hpp"
#include "shell/main_frame.hpp"
#include "shell/options_checks.hpp"
#include "shell/options_dialog.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>
#include <memory>

using namespace tessaly;
using tessaly::testing::FakePlatform;
using tessaly::testing::MemoryTree;

namespace {

// A platform whose modal run is a script of the test: it plays the user and returns the result.
class ScriptedPlatform : public FakePlatform {
public:
    std::function<int(QDialog&)> script;

    int execDialog(QDialog& dialog) override
    {
        FakePlatform::execDialog(dialog);
        return script ? script(dialog) : dialogResult;
    }
};

template <typename Control> Control* control(QWidget& dialog, int id)
{
    return dialog.findChild<Control*>(QString::number(id));
}

// Stands in for the Find dialog's owner; it hears nothing in these tests.
class NoticeTarget : public QObject { };

void pressOk(QDialog& dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, OptionsDialog::IdOk), Qt::LeftButton);
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedPlatform> m_fake;
    std::unique_ptr<PlatformOverride> m_override;
    MapModel m_model;

    // A dialog as OnOptionsCommand loads it for a 20-bit file showing Memory Size.
    void loadAlcor(OptionsDialog& d)
    {
        m_model.FileLoaded = true;
        m_model.MaxAddress = 0xFFFFF;
        d.localInformation = 0;
        d.imageChoice = 0;
        d.functionList = 1;
        d.omitZeroSize = 1;
        d.equList = 0;
        d.startText = QStringLiteral("   0");
        d.endText = QStringLiteral(" FFF");
        d.startPage = 0;
        d.endPage = 0xFFF;
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<ScriptedPlatform>();
        m_override = std::make_unique<PlatformOverride>(*m_fake);
        m_model.FileLoaded = false;
    }
    void cleanup()
    {
        m_override.reset();
        m_fake.reset();
    }

    void laidOutFromTheTemplate()
    {
        OptionsDialog d(m_model);
        QCOMPARE(d.windowTitle(), QStringLiteral("Kelvra"));
        // The units come from the dialog's font, widened only where a text needs it.
        const DialogBaseUnits base = d.baseUnits();
        QVERIFY(base.x >= dialogBaseUnits(d.font()).x);
        QVERIFY(base.y >= dialogBaseUnits(d.font()).y);
        const UnitRect client = MapDialogRect({ 0, 0, 191, 127 }, base);
        QCOMPARE(d.size(), QSize(client.width, client.height));
        struct Expected {
            int id;
            const char* text;
            UnitRect units;
        };
        const Expected controls[] = {
            { OptionsDialog::IdOk, "OK", { 36, 106, 50, 14 } },
            { OptionsDialog::IdCancel, "Cancel", { 108, 106, 50, 14 } },
            { OptionsDialog::IdStartPage, "", { 46, 44, 28, 14 } },
            { OptionsDialog::IdEndPage, "", { 46, 61, 28, 14 } },
            { OptionsDialog::IdMemorySize, "Memory Size", { 19, 33, 53, 10 } },
            { OptionsDialog::IdSectionList, "Section List", { 18, 79, 51, 10 } },
            { OptionsDialog::IdLocalSectionList, "Local Section List", { 101, 30, 69, 10 } },
            { OptionsDialog::IdEquList, ".EQU List", { 101, 48, 43, 10 } },
            { OptionsDialog::IdFunctionList, "C Function List", { 101, 66, 61, 10 } },
            { OptionsDialog::IdOmitZeroSize, "Omit 0 size Section", { 101, 84, 73, 10 } },
        };
        for (const Expected& e : controls) {
            QWidget* w = d.findChild<QWidget*>(QString::number(e.id));
            QVERIFY2(w, qPrintable(QString::number(e.id)));
            const UnitRect px = MapDialogRect(e.units, base);
            QCOMPARE(w->geometry(), QRect(px.x, px.y, px.width, px.height));
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                QCOMPARE(button->text(), QString::fromUtf8(e.text));
        }
        QVERIFY(control<QPushButton>(d, OptionsDialog::IdOk)->isDefault());
        QCOMPARE(control<QLineEdit>(d, OptionsDialog::IdStartPage)->maxLength(), 16);
        QCOMPARE(
            control<QLineEdit>(d, OptionsDialog::IdStartPage)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QStringList statics;
        for (const QLabel* label : d.findChildren<QLabel*>())
            statics << label->text();
        QCOMPARE(statics, (QStringList { "Left Map View:", "Right Map View:", "Start", "00", "End", "FF" }));
        QCOMPARE(d.findChild<QGroupBox*>()->title(), QStringLiteral("Mapping Image"));
    }

    void textsFitTheirControls_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("family");
        for (const char* dialog : { "Kelvra", "Find", "Version" })
            for (const char* family : { "DejaVu Sans", "DejaVu Sans Mono" })
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(dialog, family))) << dialog << family;
    }

    void textsFitTheirControls()
    {
        // Whichever font stands in for the template's, no control's text is wider (or taller) than
        // the control: labels, check boxes and radio buttons by Qt's size hints, push buttons and
        // the group box by their text.
        QFETCH(QString, dialog);
        QFETCH(QString, family);
        const QFont before = QApplication::font();
        QFont font(family);
        font.setPointSize(9);
        QApplication::setFont(font);
        std::unique_ptr<QDialog> d;
        NoticeTarget owner;
        if (dialog == QStringLiteral("Kelvra"))
            d = std::make_unique<OptionsDialog>(m_model);
        else if (dialog == QStringLiteral("Find"))
            d = std::make_unique<FindDialog>(&owner);
        else
            d = std::make_unique<CAboutDlg>();
        QApplication::setFont(before);
        QCOMPARE(QFontInfo(d->font()).family(), family);
        int checked = 0;
        for (QWidget* w : d->findChildren<QWidget*>()) {
            const QFontMetrics metrics(w->font());
            QSize need;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->text().isEmpty())
                    continue;
                need = metrics.boundingRect(QRect(0, 0, 10000, 10000), 0, label->text()).size();
            } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
                need = w->sizeHint();
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                need = QSize(metrics.horizontalAdvance(button->text()) + 2, metrics.height());
            } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                need = QSize(metrics.horizontalAdvance(box->title()), metrics.height());
            } else {
                continue;
            }
            const QString what = QStringLiteral("%1: %2x%3 in %4x%5")
                                     .arg(w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName())
                                     .arg(need.width())
                                     .arg(need.height())
                                     .arg(w->width())
                                     .arg(w->height());
            QVERIFY2(need.width() <= w->width() && need.height() <= w->height(), qPrintable(what));
            ++checked;
        }
        QVERIFY(checked >= 3);
        // Laid out in the template's proportions: the client is its size in the units used.
        const DialogBaseUnits base = dialog == QStringLiteral("Kelvra") ? static_cast<OptionsDialog&>(*d).baseUnits()
            : dialog == QStringLiteral("Find")                          ? static_cast<FindDialog&>(*d).baseUnits()
                                                                        : static_cast<CAboutDlg&>(*d).baseUnits();
        const UnitRect template_ = dialog == QStringLiteral("Kelvra") ? UnitRect { 0, 0, 191, 127 }
            : dialog == QStringLiteral("Find")                        ? UnitRect { 0, 0, 187, 93 }
                                                                      : UnitRect { 0, 0, 274, 81 };
        const UnitRect client = MapDialogRect(template_, base);
        QCOMPARE(d->size(), QSize(client.width, client.height));
    }

    void dataExchangeBothWays()
    {
        OptionsDialog d(m_model);
        loadAlcor(d);
        d.equList = 1;
        d.show();
        QVERIFY(control<QRadioButton>(d, OptionsDialog::IdMemorySize)->isChecked());
        QVERIFY(control<QCheckBox>(d, OptionsDialog::IdFunctionList)->isChecked());
        QVERIFY(control<QCheckBox>(d, OptionsDialog::IdOmitZeroSize)->isChecked());
        QVERIFY(control<QCheckBox>(d, OptionsDialog::IdEquList)->isChecked());
        QVERIFY(!control<QCheckBox>(d, OptionsDialog::IdLocalSectionList)->isChecked());
        QCOMPARE(control<QLineEdit>(d, OptionsDialog::IdStartPage)->text(), QStringLiteral("   0"));
        QCOMPARE(control<QLineEdit>(d, OptionsDialog::IdEndPage)->text(), QStringLiteral(" FFF"));

        control<QCheckBox>(d, OptionsDialog::IdLocalSectionList)->setChecked(true);
        control<QCheckBox>(d, OptionsDialog::IdEquList)->setChecked(false);
        control<QLineEdit>(d, OptionsDialog::IdEndPage)->setText(QStringLiteral("80"));
        d.UpdateData(true);
        QCOMPARE(d.localInformation, 1);
        QCOMPARE(d.equList, 0);
        QCOMPARE(d.imageChoice, 0);
        QCOMPARE(d.endText, QStringLiteral("80"));
    }

    void rangeEditsFollowMemorySize_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Memory Size") << 0 << true;
        QTest::newRow("Section List") << 1 << false;
        QTest::newRow("none chosen") << -1 << false;
    }
    void rangeEditsFollowMemorySize()
    {
        QFETCH(int, choice);
        QFETCH(bool, enabled);
        OptionsDialog d(m_model);
        d.imageChoice = choice;
        d.show();
        QLineEdit* start = control<QLineEdit>(d, OptionsDialog::IdStartPage);
        QLineEdit* end = control<QLineEdit>(d, OptionsDialog::IdEndPage);
        QCOMPARE(start->isEnabled(), enabled);
        QCOMPARE(end->isEnabled(), enabled);
        QCOMPARE(control<QRadioButton>(d, OptionsDialog::IdMemorySize)->isChecked(), choice == 0);
        QCOMPARE(control<QRadioButton>(d, OptionsDialog::IdSectionList)->isChecked(), choice == 1);
        QTest::mouseClick(control<QRadioButton>(d, OptionsDialog::IdMemorySize), Qt::LeftButton);
        QVERIFY(start->isEnabled() && end->isEnabled());
        QTest::mouseClick(control<QRadioButton>(d, OptionsDialog::IdSectionList), Qt::LeftButton);
        QVERIFY(!start->isEnabled() && !end->isEnabled());
    }

    void okChecksShowTheFourMessages_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::newRow("opening texts accepted") << "   0"
                                                << " FFF"
                                                << "";
        QTest::newRow("0x in Start") << "0x10"
                                     << "FFF"
                                     << "Invalid Start Address";
        QTest::newRow("Start FFF on Alcor") << "FFF"
                                            << "FFF"
                                            << "Over Address";
        QTest::newRow("bad End after a good Start") << "1 0"
                                                    << "0x10"
                                                    << "Invalid End Address";
        QTest::newRow("End over") << "0"
                                  << "1000"
                                  << "Over Address";
        QTest::newRow("Start > End") << "200"
                                     << "100"
                                     << "Start > End";
        QTest::newRow("Start checked first") << "zz"
                                             << "zz"
                                             << "Invalid Start Address";
    }
    void okChecksShowTheFourMessages()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        OptionsDialog d(m_model);
        loadAlcor(d);
        d.startPage = 7;
        d.endPage = 9;
        d.show();
        control<QLineEdit>(d, OptionsDialog::IdStartPage)->setText(start);
        control<QLineEdit>(d, OptionsDialog::IdEndPage)->setText(end);
        pressOk(d);
        if (message.isEmpty()) {
            QVERIFY(m_fake->messages.isEmpty());
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(d.startPage, ParseHexField(start.toStdString()).value());
            return;
        }
        QCOMPARE(m_fake->messages, QStringList { message });
        QCOMPARE(m_fake->owners.last(), static_cast<QWidget*>(&d));
        // Still open, the input as the user left it, the pages as the caller gave them.
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), 0);
        QCOMPARE(control<QLineEdit>(d, OptionsDialog::IdStartPage)->text(), start);
        QCOMPARE(control<QLineEdit>(d, OptionsDialog::IdEndPage)->text(), end);
        QCOMPARE(d.startPage, 7u);
        QCOMPARE(d.endPage, 9u);
    }

    void greyedFieldsAreNotChecked_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("choice");
        QTest::newRow("Section List") << true << 1;
        QTest::newRow("no file") << false << 0;
    }
    void greyedFieldsAreNotChecked()
    {
        QFETCH(bool, loaded);
        QFETCH(int, choice);
        OptionsDialog d(m_model);
        loadAlcor(d);
        m_model.FileLoaded = loaded;
        d.imageChoice = choice;
        d.startText = QStringLiteral("junk");
        d.endText = QStringLiteral("0x");
        d.startPage = 3;
        d.endPage = 5;
        d.show();
        pressOk(d);
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.startPage, 3u);
        QCOMPARE(d.endPage, 5u);
    }

    void cancelChecksNothing()
    {
        OptionsDialog d(m_model);
        loadAlcor(d);
        d.show();
        control<QLineEdit>(d, OptionsDialog::IdStartPage)->setText(QStringLiteral("0x"));
        QTest::mouseClick(control<QPushButton>(d, OptionsDialog::IdCancel), Qt::LeftButton);
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void roundTripIntoTheModel()
    {
        MapModel model;
        CTessalyApp app(model);
        QVERIFY(app.InitInstance(std::nullopt, false));
        MemoryTree tree("Alcor");
        tree.section("CODE", 0x1000, 0x100);
        DetectCpuFamily(model, &tree.root);
        model.FileLoaded = true;
        model.RangeStart = 0;
        model.RangeEnd = model.MaxAddress;

        QString openingStart;
        QString openingEnd;
        m_fake->script = [&](QDialog& dialog) {
            dialog.show();
            openingStart = control<QLineEdit>(dialog, OptionsDialog::IdStartPage)->text();
            openingEnd = control<QLineEdit>(dialog, OptionsDialog::IdEndPage)->text();
            // Section List was chosen: the fields are grey until Memory Size is clicked.
            QTest::mouseClick(control<QRadioButton>(dialog, OptionsDialog::IdMemorySize), Qt::LeftButton);
            control<QCheckBox>(dialog, OptionsDialog::IdEquList)->setChecked(true);
            QLineEdit* start = control<QLineEdit>(dialog, OptionsDialog::IdStartPage);
            start->setText(QStringLiteral("FFF"));
            pressOk(static_cast<QDialog&>(dialog));
            // "Over Address": correct the field and press OK again.
            start->setText(QStringLiteral("12"));
            control<QLineEdit>(dialog, OptionsDialog::IdEndPage)->setText(QStringLiteral("3 4"));
            pressOk(static_cast<QDialog&>(dialog));
            return dialog.result();
        };
        QVERIFY(app.mainFrame()->router().dispatch(ID_OPTIONS));
        QCOMPARE(m_fake->dialogTitles, QStringList { "Kelvra" });
        QCOMPARE(openingStart, QStringLiteral("   0"));
        QCOMPARE(openingEnd, QStringLiteral(" FFF"));
        QCOMPARE(m_fake->messages, QStringList { "Over Address" });
        QCOMPARE(model.ImageMode, MemorySizeImage);
        QVERIFY(model.ShowEquList);
        QVERIFY(model.ListRebuildPending);
        QCOMPARE(model.RangeStart, 0x1200u);
        QCOMPARE(model.RangeEnd, 0x34FFu);

        // Cancel changes nothing.
        m_fake->script = [](QDialog& dialog) {
            dialog.show();
            control<QCheckBox>(dialog, OptionsDialog::IdEquList)->setChecked(false);
            QTest::mouseClick(control<QPushButton>(dialog, OptionsDialog::IdCancel), Qt::LeftButton);
            return dialog.result();
        };
        QVERIFY(app.mainFrame()->router().dispatch(ID_OPTIONS));
        QVERIFY(model.ShowEquList);
        QCOMPARE(model.RangeStart, 0x1200u);
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
