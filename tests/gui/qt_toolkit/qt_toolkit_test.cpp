// The Qt toolkit against real (offscreen) windows and the primary screen, for what the toolkit contract leaves to
// each toolkit.
#include "main_window/frm_Main.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"
#include "tests/fixtures/fake_platform/fake_screen.h"
#include "wait_dialog/frm_Updating.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <tuple>

using namespace tallyrun;

class QtToolkitTest : public QObject {
    Q_OBJECT

private slots:
    // Rows for the screens at 96, 144 and 192 dots per inch that the test's registrations set up; a row on another
    // screen is skipped, which those registrations count as a failure.
    void formsKeepTheirInchesOnTheScreen_data()
    {
        QTest::addColumn<qreal>("scale");
        for (const qreal scale : {1.0, 1.5, 2.0})
            QTest::addRow("%gx", scale) << scale;
    }

    void formsKeepTheirInchesOnTheScreen()
    {
        QFETCH(qreal, scale);
        if (!qFuzzyCompare(QGuiApplication::primaryScreen()->devicePixelRatio(), scale))
            QSKIP("the screen is at another scale");
        const QtScreen screen;
        QtForm main(frm_MainLayout, nullptr, screen);
        main.Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main.Window()));
        // The layout's twips in the screen's own pixels, not scaled twice: 15 twips to the pixel at 96 dots per inch.
        QCOMPARE(QSizeF(main.Window().size()) * main.Window().devicePixelRatioF(),
                 QSizeF(frm_MainLayout.clientWidth, frm_MainLayout.clientHeight) * scale / 15);
    }

    // A server's name or message is shown as it is, even where it looks like markup.
    void formsAreFixedWithTheIconLabelsAlignTheHourglassCoversTheEditsAndMessagesArePlainText()
    {
        const fakes::FakeScreen screen;
        QtToolkit toolkit(screen);
        QtForm main(frm_MainLayout, nullptr, screen);
        QtForm dialog(frm_UpdatingLayout, &main, screen);
        const Qt::WindowFlags buttons =
            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        for (QtForm* form : {&main, &dialog}) {
            QCOMPARE(form->Window().minimumSize(), form->Window().maximumSize());
            QCOMPARE(form->Window().windowFlags() & buttons, Qt::WindowCloseButtonHint);
            const QList<QSize> iconSizes = form->Window().windowIcon().availableSizes();
            QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
        }
        const std::tuple<QtForm*, int, Qt::Alignment> labels[] = {
            {&main, 0, Qt::AlignLeft | Qt::AlignVCenter}, {&main, 1, Qt::AlignRight | Qt::AlignVCenter},
            {&main, 4, Qt::AlignRight | Qt::AlignVCenter}, {&dialog, 0, Qt::AlignHCenter | Qt::AlignTop}};
        for (const auto& [form, index, alignment] : labels)
            QCOMPARE(qobject_cast<const QLabel*>(&form->ControlWidget(index))->alignment(), alignment);
        QVERIFY(qobject_cast<const QLabel*>(&dialog.ControlWidget(0))->wordWrap());

        const QLineEdit* serversEdit = qobject_cast<QComboBox*>(&main.ControlWidget(2))->lineEdit();
        main.SetMousePointer(ui::PointerHourglass);
        QCOMPARE(main.Window().cursor().shape(), Qt::WaitCursor);
        QCOMPARE(serversEdit->cursor().shape(), Qt::WaitCursor);
        main.SetMousePointer(ui::PointerDefault);
        QCOMPARE(main.Window().cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(serversEdit->cursor().shape(), Qt::IBeamCursor);

        const QString text = QStringLiteral("Cannot connect to <b>x: the <i>server</i> said no.");
        QString heard;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                    heard = QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
                box->close();
            }
        });
        toolkit.MsgBox(main, text.toStdString(), ui::MessageStyleInformation, "Tallyrun");
        QCOMPARE(heard, text);
    }
};

QTEST_MAIN(QtToolkitTest)
#include "qt_toolkit_test.moc"
