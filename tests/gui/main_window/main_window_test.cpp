// The main window's layout, keyboard order, placement and life cycle, over a fake platform.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace tallyrun;

class MainWindowTest : public QObject {
    Q_OBJECT

    template <class T>
    static T* Control(const frm_Main& window, const char* name)
    {
        auto* control = window.findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }

private slots:
    void controlsArePlacedInPixels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        // Twips from the layout at 15 twips per pixel, each value rounded to the nearest pixel.
        QTest::newRow("lbl_Info") << "lbl_Info" << QRect(8, 8, 345, 17);
        QTest::newRow("lbl_Server") << "lbl_Server" << QRect(57, 42, 57, 17);
        QTest::newRow("cbo_Servers") << "cbo_Servers" << QRect(121, 40, 161, 21);
        QTest::newRow("cmd_ListServers") << "cmd_ListServers" << QRect(289, 40, 81, 21);
        QTest::newRow("lbl_DB") << "lbl_DB" << QRect(33, 74, 81, 17);
        QTest::newRow("cbo_DBs") << "cbo_DBs" << QRect(121, 72, 161, 21);
        QTest::newRow("cmd_ListDBs") << "cmd_ListDBs" << QRect(289, 72, 81, 21);
        QTest::newRow("cmd_Tallyrun") << "cmd_Tallyrun" << QRect(161, 108, 81, 21);
    }

    void controlsArePlacedInPixels()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        fakes::FakePlatform fake;
        const frm_Main window(fake.platform);
        QCOMPARE(Control<QWidget>(window, name.toLatin1().constData())->geometry(), geometry);
    }

    void captionsFitAndAreAligned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("alignment");
        QTest::newRow("lbl_Info") << "lbl_Info"
                                  << "Use this utility to update table usage of a SQL Server database."
                                  << int(Qt::AlignLeft);
        QTest::newRow("lbl_Server") << "lbl_Server" << "Server:" << int(Qt::AlignRight);
        QTest::newRow("lbl_DB") << "lbl_DB" << "Database Name:" << int(Qt::AlignRight);
        QTest::newRow("cmd_ListServers") << "cmd_ListServers" << "List Available" << 0;
        QTest::newRow("cmd_ListDBs") << "cmd_ListDBs" << "List Available" << 0;
        QTest::newRow("cmd_Tallyrun") << "cmd_Tallyrun" << "Tallyrun" << 0;
    }

    void captionsFitAndAreAligned()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, alignment);
        fakes::FakePlatform fake;
        const frm_Main window(fake.platform);
        const QWidget* control = Control<QWidget>(window, name.toLatin1().constData());

        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else {
            QCOMPARE(qobject_cast<const QPushButton*>(control)->text(), caption);
        }
        QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <= control->width(), "caption clipped");
    }

    void windowIsFixedWithoutMinimiseOrMaximise()
    {
        fakes::FakePlatform fake;
        const frm_Main window(fake.platform);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tallyrun"));
        QCOMPARE(window.minimumSize(), QSize(402, 143));
        QCOMPARE(window.maximumSize(), QSize(402, 143));
        QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        const QList<QSize> iconSizes = window.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
        QVERIFY(!window.windowIcon().pixmap(32).isNull());
    }

    void typedTextIsNotAddedToTheList()
    {
        fakes::FakePlatform fake;
        frm_Main window(fake.platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* servers = Control<QComboBox>(window, "cbo_Servers");
        servers->clearEditText();
        QTest::keyClicks(servers, QStringLiteral("db01"));
        QTest::keyClick(servers, Qt::Key_Return);
        QCOMPARE(servers->currentText(), QStringLiteral("db01"));
        QCOMPARE(servers->count(), 0);
    }

    void focusStartsInServersAndTabWalksTheControls()
    {
        fakes::FakePlatform fake;
        frm_Main window(fake.platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QCOMPARE(QApplication::focusWidget(), Control<QWidget>(window, "cbo_Servers"));
        for (const char* next : {"cmd_ListServers", "cbo_DBs", "cmd_ListDBs", "cmd_Tallyrun", "cbo_Servers"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
        }
    }

    void loadCentresInTheWorkArea()
    {
        fakes::FakePlatform fake;
        fake.screen.workArea = {0, 0, 1000, 700};  // 15000 x 10500 twips
        const frm_Main window(fake.platform);
        // (15000 - 6030) / 2 = 4485 twips = 299 pixels; (10500 - 2145) / 2 = 4177.5 twips = 278.5 -> 279 pixels.
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(299, 279));
    }

    void loadCreatesTheApplicationObjectAndCloseQuitsItOnce_data()
    {
        QTest::addColumn<bool>("quitFails");
        QTest::newRow("quit succeeds") << false;
        QTest::newRow("quit fails") << true;
    }

    void loadCreatesTheApplicationObjectAndCloseQuitsItOnce()
    {
        QFETCH(bool, quitFails);
        fakes::FakePlatform fake;
        if (quitFails)
            fake.objects.quitFailure = Error(-2147023174, "The RPC server is unavailable.");
        {
            frm_Main window(fake.platform);
            QCOMPARE(fake.objects.progIds, std::vector<std::string>{"SQLDMO.Application.8.0"});
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(fake.objects.quitCalls, 0);

            QVERIFY(window.close());
            QVERIFY(!window.isVisible());
            QCOMPARE(fake.objects.quitCalls, 1);
            QVERIFY(window.close());
        }
        QCOMPARE(fake.objects.quitCalls, 1);
        QVERIFY(fake.messages.shown.empty());
    }

    void failedCreationOpensTheWindowAndReportsOnce()
    {
        fakes::FakePlatform fake;
        fake.objects.failure = Error(429, "ActiveX component can't create object");
        {
            frm_Main window(fake.platform);
            QVERIFY(fake.messages.shown.empty());  // not before the window is on the screen
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE(fake.messages.shown.size(), std::size_t(1));
            const auto& message = fake.messages.shown.front();
            QCOMPARE(message.owner, &window);
            QCOMPARE(message.text, QStringLiteral("ActiveX component can't create object"));
            QCOMPARE(message.style, MessageStyleInformation);
            QCOMPARE(message.title, QStringLiteral("Tallyrun"));

            window.hide();
            window.show();
            QTest::qWait(50);
            QCOMPARE(fake.messages.shown.size(), std::size_t(1));
            QVERIFY(window.close());
        }
        QCOMPARE(fake.objects.quitCalls, 0);
    }

    void hourglassCoversTheWholeWindow()
    {
        fakes::FakePlatform fake;
        frm_Main window(fake.platform);
        const QWidget* edit = Control<QComboBox>(window, "cbo_Servers")->lineEdit();

        window.SetMousePointer(11);
        QCOMPARE(window.MousePointer(), 11);
        QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(edit->cursor().shape(), Qt::WaitCursor);

        window.SetMousePointer(0);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(edit->cursor().shape(), Qt::IBeamCursor);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
