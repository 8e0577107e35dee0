// The Qt toolkit against real (offscreen) windows and the primary screen, for what the toolkit contract leaves to
// each toolkit.
#include "main_window/frm_Main.h"
#include "platform/core/error.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"
#include "tests/fixtures/fake_platform/fake_screen.h"
#include "wait_dialog/frm_Updating.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace tallyrun;

namespace {

const ui::FormLayout Empty{"empty", "Empty", ui::FormKind::Window, 2400, 2000, {}};

// Different factors on the two axes, so that a swapped axis shows.
fakes::FakeScreen Skewed()
{
    fakes::FakeScreen screen;
    screen.twipsX = 12;
    screen.twipsY = 20;
    return screen;
}

}  // namespace

class QtToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void formReadsFrameAndClientInTwipsAndMovesToWholePixels()
    {
        const fakes::FakeScreen screen = Skewed();
        QtForm form(Empty, nullptr, screen);  // 200 x 100 pixels
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.Window()));
        const QRect frame = form.Window().frameGeometry();
        QVERIFY2(frame.size() != form.Window().size(), "the platform draws no frame");

        QCOMPARE(form.Left(), frame.x() * 12.0f);
        QCOMPARE(form.Top(), frame.y() * 20.0f);
        QCOMPARE(form.Width(), frame.width() * 12.0f);
        QCOMPARE(form.Height(), frame.height() * 20.0f);
        QCOMPARE(form.ScaleWidth(), 200 * 12.0f);
        QCOMPARE(form.ScaleHeight(), 100 * 20.0f);
        QCOMPARE(form.WindowState(), 0);
        QVERIFY(!form.MDIChild());
        QVERIFY_THROWS_EXCEPTION(Error, form.StatusBar());

        form.Move(605, 409.5);  // 50.42 and 20.475 pixels
        QCOMPARE(form.Window().frameGeometry().topLeft(), QPoint(50, 20));
        QCOMPARE(form.Window().size(), QSize(200, 100));
        QVERIFY_THROWS_EXCEPTION(Error, form.Move(1e300, 0));
        QCOMPARE(form.Window().frameGeometry().topLeft(), QPoint(50, 20));
    }

    void unshownDialogIsTakenToWearItsOwnersFrame()
    {
        const fakes::FakeScreen screen = Skewed();
        QtForm owner(Empty, nullptr, screen);
        owner.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner.Window()));
        const QSize ownerFrame = owner.Window().frameGeometry().size() - owner.Window().size();
        QtForm dialog(frm_UpdatingLayout, &owner, screen);  // 346 x 45 pixels

        QCOMPARE(dialog.Width(), (346 + ownerFrame.width()) * 12.0f);
        QCOMPARE(dialog.Height(), (45 + ownerFrame.height()) * 20.0f);
        QCOMPARE(dialog.ScaleWidth(), 346 * 12.0f);
    }

    void screenMatchesPrimaryScreen()
    {
        const QScreen* primary = QGuiApplication::primaryScreen();
        QVERIFY(primary);
        const QtScreen screen;
        const float twipsX = 1440.0f / static_cast<float>(primary->logicalDotsPerInchX());
        const float twipsY = 1440.0f / static_cast<float>(primary->logicalDotsPerInchY());
        QCOMPARE(screen.TwipsPerPixelX(), twipsX);
        QCOMPARE(screen.TwipsPerPixelY(), twipsY);
        QCOMPARE(screen.Width(), primary->geometry().width() * twipsX);
        QCOMPARE(screen.Height(), primary->geometry().height() * twipsY);

        const QRect available = primary->availableGeometry();
        WorkAreaRect rect;
        QVERIFY(screen.QueryWorkArea(rect));
        QCOMPARE(rect.left, available.x());
        QCOMPARE(rect.top, available.y());
        QCOMPARE(rect.right, available.x() + available.width());
        QCOMPARE(rect.bottom, available.y() + available.height());
    }

    void windowsAreFixedWithoutMinimiseOrMaximiseAndCarryTheIcon()
    {
        const fakes::FakeScreen screen;
        QtForm main(frm_MainLayout, nullptr, screen);
        QtForm dialog(frm_UpdatingLayout, &main, screen);
        QCOMPARE(main.Window().windowTitle(), QStringLiteral("Tallyrun"));
        QCOMPARE(dialog.Window().windowTitle(), QStringLiteral("Updating Usage"));
        QCOMPARE(main.Window().minimumSize(), QSize(402, 143));
        QCOMPARE(main.Window().maximumSize(), QSize(402, 143));
        QCOMPARE(dialog.Window().maximumSize(), QSize(277, 60));
        for (QtForm* form : {&main, &dialog}) {
            const Qt::WindowFlags flags = form->Window().windowFlags();
            QVERIFY(!(flags & Qt::WindowMinimizeButtonHint) && !(flags & Qt::WindowMaximizeButtonHint));
            QVERIFY(flags & Qt::WindowCloseButtonHint);
            const QList<QSize> iconSizes = form->Window().windowIcon().availableSizes();
            QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
        }
        QVERIFY_THROWS_EXCEPTION(Error, main.ShowModal());
    }

    void captionsFitTheirControlsAndLabelsAreAligned()
    {
        const fakes::FakeScreen screen;
        QtForm main(frm_MainLayout, nullptr, screen);
        QtForm dialog(frm_UpdatingLayout, &main, screen);
        const auto* waitLabel = qobject_cast<const QLabel*>(&dialog.ControlWidget(0));
        QVERIFY(waitLabel->wordWrap());
        QCOMPARE(waitLabel->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        for (std::size_t index = 0; index < frm_MainLayout.controls.size(); ++index) {
            const ui::ControlLayout& layout = frm_MainLayout.controls[index];
            const QWidget& control = main.ControlWidget(index);
            const QString caption = QString::fromUtf8(layout.caption.data(), qsizetype(layout.caption.size()));
            if (const auto* label = qobject_cast<const QLabel*>(&control)) {
                QCOMPARE(label->text(), caption);
                const auto expected = layout.alignment == ui::Alignment::Right ? Qt::AlignRight : Qt::AlignLeft;
                QCOMPARE(label->alignment(), expected | Qt::AlignVCenter);
                QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            } else if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
                QCOMPARE(button->text(), caption);
            } else {
                continue;
            }
            QVERIFY2(control.fontMetrics().horizontalAdvance(caption) <= control.width(), "caption clipped");
        }
    }

    void typedTextIsNotAddedToTheListAndTheHourglassCoversTheEditFields()
    {
        const fakes::FakeScreen screen;
        QtToolkit toolkit(screen);
        const auto form = toolkit.CreateForm(frm_MainLayout, nullptr);
        QtForm& main = dynamic_cast<QtForm&>(*form);
        int shown = 0;
        main.OnShown([&] { ++shown; });
        main.Show();
        QVERIFY(QTest::qWaitForWindowActive(&main.Window()));
        QTRY_COMPARE(shown, 1);

        auto* servers = qobject_cast<QComboBox*>(&main.ControlWidget(2));
        servers->clearEditText();
        QTest::keyClicks(servers, QStringLiteral("db01"));
        QTest::keyClick(servers, Qt::Key_Return);
        QCOMPARE(main.ComboBoxAt(2).Text(), std::string("db01"));
        QCOMPARE(main.ComboBoxAt(2).ListCount(), 0);

        main.SetMousePointer(ui::PointerHourglass);
        QCOMPARE(main.Window().cursor().shape(), Qt::WaitCursor);
        QCOMPARE(servers->lineEdit()->cursor().shape(), Qt::WaitCursor);
        main.SetMousePointer(ui::PointerDefault);
        QCOMPARE(main.Window().cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(servers->lineEdit()->cursor().shape(), Qt::IBeamCursor);

        servers->setEnabled(false);
        QVERIFY_THROWS_EXCEPTION(Error, main.ComboBoxAt(2).SetFocus());
        QVERIFY_THROWS_EXCEPTION(Error, main.LabelAt(2));
    }
};

QTEST_MAIN(QtToolkitTest)
#include "qt_toolkit_test.moc"
