// The Qt form and screen adapters against real (offscreen) windows and the primary screen.
#include "platform/core/error.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_screen.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

using namespace tallyrun;

namespace {

// Different factors on the two axes, so that a swapped axis shows.
struct FixedScreen : Screen {
    float Width() const override { return 0; }
    float Height() const override { return 0; }
    float TwipsPerPixelX() const override { return 12; }
    float TwipsPerPixelY() const override { return 20; }
    bool QueryWorkArea(WorkAreaRect&) const override { return false; }
};

}  // namespace

class QtAdaptersTest : public QObject {
    Q_OBJECT

private slots:
    void formReadsFrameAndClientInTwips()
    {
        QWidget window;
        window.setGeometry(40, 30, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect frame = window.frameGeometry();
        QVERIFY2(frame.size() != window.size(), "the platform draws no frame, so frame and client cannot be told apart");
        FixedScreen screen;
        const QtForm form(window, screen);

        QCOMPARE(form.Left(), frame.x() * 12.0f);
        QCOMPARE(form.Top(), frame.y() * 20.0f);
        QCOMPARE(form.Width(), frame.width() * 12.0f);
        QCOMPARE(form.Height(), frame.height() * 20.0f);
        QCOMPARE(form.ScaleWidth(), 200 * 12.0f);
        QCOMPARE(form.ScaleHeight(), 100 * 20.0f);
        QCOMPARE(form.WindowState(), 0);
        QVERIFY(!form.MDIChild());
    }

    void unshownDialogIsTakenToWearItsOwnersFrame()
    {
        QWidget owner;
        owner.resize(300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        const QSize ownerFrame = owner.frameGeometry().size() - owner.size();
        QDialog dialog(&owner);
        dialog.resize(120, 60);
        FixedScreen screen;
        const QtForm form(dialog, screen);

        QCOMPARE(form.Width(), (120 + ownerFrame.width()) * 12.0f);
        QCOMPARE(form.Height(), (60 + ownerFrame.height()) * 20.0f);
        QCOMPARE(form.ScaleWidth(), 120 * 12.0f);
    }

    void formMovesFrameToNearestPixel()
    {
        QWidget window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        FixedScreen screen;
        QtForm form(window, screen);

        form.Move(605, 409.5);  // 50.42 and 20.48 pixels

        QCOMPARE(window.frameGeometry().topLeft(), QPoint(50, 20));
        QCOMPARE(window.size(), QSize(200, 100));
        QVERIFY_THROWS_EXCEPTION(Error, form.Move(1e300, 0));
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(50, 20));
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
};

QTEST_MAIN(QtAdaptersTest)
#include "qt_adapters_test.moc"
