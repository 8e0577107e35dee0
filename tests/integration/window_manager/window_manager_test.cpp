// The real window under a real window manager (openbox on Xvfb, see with_openbox.sh): the main window's outer frame
// stands centred in the work area, and the wait dialog's frame centred over the main window's, as the X server
// reports them once openbox has framed both; and what a screen reader hears of the two through AT-SPI.
#include "platform/qt/qt_screen.h"
#include "tests/fixtures/real_window/real_window.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

namespace tallyrun {

namespace {

xcb_connection_t* Connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t Root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
}

template <typename T>
std::unique_ptr<T, decltype(&std::free)> Owned(T* reply) { return {reply, &std::free}; }

// The first `count` 32-bit values of a property, or nothing while it is not set.
std::optional<std::vector<std::uint32_t>> Cardinals(xcb_window_t window, const char* name, std::uint32_t count)
{
    xcb_connection_t* c = Connection();
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    const auto atom = Owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, length, name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    const auto reply = Owned(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, count), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < int(count * 4))
        return std::nullopt;
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values, values + count);
}

// The outer frame openbox drew around a top-level window, once it has framed and mapped it.
std::optional<QRect> Frame(QWidget& window)
{
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto extents = Cardinals(id, "_NET_FRAME_EXTENTS", 4);  // left, right, top, bottom
    if (!window.isVisible() || !extents)
        return std::nullopt;
    xcb_connection_t* c = Connection();
    const auto attributes = Owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return std::nullopt;
    const auto origin =
        Owned(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, Root(), 0, 0), nullptr));
    const auto size = Owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!origin || !size)
        return std::nullopt;
    const auto& e = *extents;
    return QRect(origin->dst_x - int(e[0]), origin->dst_y - int(e[2]), size->width + int(e[0] + e[1]),
                 size->height + int(e[2] + e[3]));
}

// Centres within a pixel of each other, the rounding of an odd difference in size.
bool CentredOn(const QRect& inner, const QRect& outer)
{
    const QPoint offset = (inner.topLeft() * 2 + QPoint(inner.width(), inner.height())) -
                          (outer.topLeft() * 2 + QPoint(outer.width(), outer.height()));
    return std::abs(offset.x()) <= 2 && std::abs(offset.y()) <= 2;
}

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

private slots:
    // One run of a client that stays for three seconds: long enough for openbox to frame the wait dialog and for a
    // screen reader to ask about it, through AT-SPI, the interface Orca reads (on the session bus of its own that
    // the test runs on).
    void framesAreCentredAndScreenReadersHearAFrameAndAWaitDialogThatIsBusy()
    {
        const QTemporaryDir clients;
        const std::filesystem::path folder = clients.path().toStdString();
        std::ofstream(folder / "osql") << "#!/bin/sh\nexec sleep 3\n";
        std::filesystem::permissions(folder / "osql", std::filesystem::perms::owner_all);
        // The system's screen: the work area the window manager reports is the one to be centred in.
        const QtScreen system;
        testing::RealWindow real(folder, &system);

        std::optional<QRect> main;
        QTRY_VERIFY((main = Frame(real.Window())).has_value());
        const auto area = Cardinals(Root(), "_NET_WORKAREA", 4);
        QVERIFY(area);
        const QRect work{int((*area)[0]), int((*area)[1]), int((*area)[2]), int((*area)[3])};
        QVERIFY2(main->height() > real.Window().height(), "openbox drew no title bar: the check would prove nothing");
        QVERIFY2(CentredOn(*main, work), qPrintable(QDebug::toString(std::pair(*main, work))));

        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(QStringLiteral(SYSTEM_PYTHON),
                     {QStringLiteral(SCREEN_READER_SCRIPT), QCoreApplication::applicationName(), QStringLiteral("30")});
        QVERIFY(reader.waitForStarted());
        // The reader asks this process over the bus: the events must keep running while it does.
        QTest::qWait(1500);

        std::optional<QRect> dialog, owner;
        QTimer poll;
        // The last frames seen while the dialog is up: the first look can come while openbox is still framing it.
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (const std::optional<QRect> framed = Frame(*modal)) {
                    dialog = framed;
                    owner = Frame(real.Window());
                }
            }
        });
        poll.start(20);
        real.Run(QStringLiteral("127.0.0.1,1"), QStringLiteral("Sales"));
        QVERIFY2(dialog && owner, "the wait dialog was not framed while the client ran");
        QVERIFY2(CentredOn(*dialog, *owner), qPrintable(QDebug::toString(std::pair(*dialog, *owner))));

        QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, 30000);
        const QString heard = QString::fromUtf8(reader.readAllStandardOutput());
        QVERIFY2(heard.contains(QStringLiteral("frame\tTallyrun\tidle")), qPrintable(heard));
        QVERIFY2(heard.contains(QStringLiteral("dialog\tUpdating Usage\tbusy")), qPrintable(heard));
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::WindowManagerTest)
#include "window_manager_test.moc"
