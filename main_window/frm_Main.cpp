// frm_Main's layout, load and unload. The button handlers live in frm_Main_run.cpp and frm_Main_discovery.cpp.
#include "main_window/frm_Main.h"

#include "placement/basMisc.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/twips.h"
#include "resources/application_icon.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace tallyrun {

namespace {

constexpr int ClientWidth = 6030;  // twips
constexpr int ClientHeight = 2145;

// Room a push button's frame and margins take from its caption, in pixels.
constexpr int ButtonChrome = 8;
// The smallest font the captions are shrunk to.
constexpr qreal SmallestPointSize = 6;
constexpr int SmallestPixelSize = 8;

struct Twips {
    int left, top, width, height;
};

}  // namespace

frm_Main::frm_Main(Platform& platform, QWidget* parent) : QWidget(parent), m_platform(platform)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Tallyrun"));
    setWindowIcon(ApplicationIcon());
    CreateControls();
    Form_Load();
}

frm_Main::~frm_Main()
{
    Form_Unload();
}

void frm_Main::CreateControls()
{
    const Screen& screen = m_platform.screen;
    const auto place = [&](QWidget& control, Twips at) {
        const float x = screen.TwipsPerPixelX();
        const float y = screen.TwipsPerPixelY();
        control.setGeometry(TwipsToPixels(at.left, x), TwipsToPixels(at.top, y), TwipsToPixels(at.width, x),
                            TwipsToPixels(at.height, y));
    };
    setFixedSize(TwipsToPixels(ClientWidth, screen.TwipsPerPixelX()),
                 TwipsToPixels(ClientHeight, screen.TwipsPerPixelY()));

    const auto label = [&](const char* name, const QString& caption, Qt::Alignment alignment, Twips at) {
        auto* control = new QLabel(caption, this);
        control->setObjectName(QLatin1String(name));
        control->setAlignment(alignment | Qt::AlignVCenter);
        control->setForegroundRole(QPalette::WindowText);
        place(*control, at);
        return control;
    };
    const auto combo = [&](const char* name, const QString& text, Twips at) {
        auto* control = new QComboBox(this);
        control->setObjectName(QLatin1String(name));
        control->setEditable(true);
        // The list holds only what the list buttons put there, never what the user typed.
        control->setInsertPolicy(QComboBox::NoInsert);
        control->setEditText(text);
        place(*control, at);
        return control;
    };
    const auto button = [&](const char* name, const QString& caption, Twips at, void (frm_Main::*click)()) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(QLatin1String(name));
        place(*control, at);
        connect(control, &QPushButton::clicked, this, click);
        return control;
    };

    const QString listAvailable = QStringLiteral("List Available");
    lbl_Info = label("lbl_Info", QStringLiteral("Use this utility to update table usage of a SQL Server database."),
                     Qt::AlignLeft, {120, 120, 5175, 255});
    lbl_Server = label("lbl_Server", QStringLiteral("Server:"), Qt::AlignRight, {848, 630, 855, 255});
    cbo_Servers = combo("cbo_Servers", QString::fromLatin1(ServerPlaceholder), {1808, 600, 2415, 315});
    cmd_ListServers = button("cmd_ListServers", listAvailable, {4328, 600, 1215, 315}, &frm_Main::cmd_ListServers_Click);
    lbl_DB = label("lbl_DB", QStringLiteral("Database Name:"), Qt::AlignRight, {488, 1110, 1215, 255});
    cbo_DBs = combo("cbo_DBs", QString::fromLatin1(DatabasePlaceholder), {1808, 1080, 2415, 315});
    cmd_ListDBs = button("cmd_ListDBs", listAvailable, {4328, 1080, 1215, 315}, &frm_Main::cmd_ListDBs_Click);
    cmd_Tallyrun = button("cmd_Tallyrun", QStringLiteral("Tallyrun"), {2408, 1620, 1215, 315},
                          &frm_Main::cmd_Tallyrun_Click);

    setTabOrder(cbo_Servers, cmd_ListServers);
    setTabOrder(cmd_ListServers, cbo_DBs);
    setTabOrder(cbo_DBs, cmd_ListDBs);
    setTabOrder(cmd_ListDBs, cmd_Tallyrun);
    cbo_Servers->setFocus();

    FitFontToCaptions();
}

// The layout's twips were drawn for a small system font; where the desktop's font is larger, shrink the window's
// font until every caption fits its control rather than clip the captions.
void frm_Main::FitFontToCaptions()
{
    const auto fits = [this](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        for (const QLabel* label : {lbl_Info, lbl_Server, lbl_DB}) {
            if (metrics.horizontalAdvance(label->text()) > label->width() || metrics.height() > label->height())
                return false;
        }
        for (const QPushButton* button : {cmd_ListServers, cmd_ListDBs, cmd_Tallyrun}) {
            if (metrics.horizontalAdvance(button->text()) + ButtonChrome > button->width())
                return false;
        }
        return true;
    };

    QFont candidate = font();
    while (!fits(candidate)) {
        if (candidate.pointSizeF() > 0) {
            if (candidate.pointSizeF() <= SmallestPointSize)
                break;
            candidate.setPointSizeF(candidate.pointSizeF() - 0.5);
        } else {
            if (candidate.pixelSize() <= SmallestPixelSize)
                break;
            candidate.setPixelSize(candidate.pixelSize() - 1);
        }
    }
    setFont(candidate);
}

void frm_Main::Form_Load()
{
    try {
        m_SQLApp = sqldmo::As<sqldmo::Application>(m_platform.objects.CreateObject(sqldmo::ApplicationProgId));
    } catch (const Error& error) {
        // The window opens all the same: the user can still type names and run the update, which does not need
        // the application object. The reason is shown once the window is on the screen.
        m_loadFailure = QString::fromStdString(error.Description());
    }

    QtForm form(*this, m_platform.screen);
    try {
        basMisc::CenterForm(form, m_platform.screen);
    } catch (const Error&) {
        // A screen whose work area cannot be expressed in twips: the window stays where the system puts it.
    }
}

void frm_Main::Form_Unload()
{
    if (!m_SQLApp)
        return;
    // Taken out before Quit runs, so the reference is gone whatever Quit does and a second unload does nothing.
    const std::unique_ptr<sqldmo::Application> application = std::move(m_SQLApp);
    try {
        application->Quit();
    } catch (const Error&) {
        // Closing always proceeds; once the user has chosen to leave there is no one left to tell.
    }
}

void frm_Main::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_loadFailure)
        QTimer::singleShot(0, this, &frm_Main::ReportLoadFailure);
}

void frm_Main::ReportLoadFailure()
{
    if (!m_loadFailure || !isVisible())
        return;
    const QString description = *std::exchange(m_loadFailure, std::nullopt);
    m_platform.messages.Show(this, description, MessageStyleInformation, QStringLiteral("Tallyrun"));
}

void frm_Main::SetMousePointer(int pointer)
{
    m_mousePointer = pointer;
    // The edit fields carry their own text cursor, which would otherwise show through the form's pointer.
    if (pointer == PointerHourglass) {
        setCursor(Qt::WaitCursor);
        cbo_Servers->lineEdit()->setCursor(Qt::WaitCursor);
        cbo_DBs->lineEdit()->setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
        cbo_Servers->lineEdit()->setCursor(Qt::IBeamCursor);
        cbo_DBs->lineEdit()->setCursor(Qt::IBeamCursor);
    }
}

void frm_Main::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

}  // namespace tallyrun
