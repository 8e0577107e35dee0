// The Qt windows behind a form: every way of closing them asks the form's close request first.
#pragma once

#include <QDialog>
#include <QWidget>

#include <functional>

namespace tallyrun {

struct FormEvents {
    std::function<void(bool& cancel)> queryUnload;
    std::function<void()> unload;
    std::function<void()> shown;

    bool Refuses() const;
    // After a show, from the event loop, while the window is still visible.
    void AnnounceShown(QWidget& window) const;
};

// A top-level window: the close box, the system menu, Alt+F4 and the session all end in closeEvent.
class QtWindowWidget : public QWidget {
public:
    explicit QtWindowWidget(const FormEvents& events) : m_events(events) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    const FormEvents& m_events;
};

// A dialog: besides closeEvent, Escape and any other dismissal pass through done(), so refusing there refuses all.
class QtDialogWidget : public QDialog {
public:
    QtDialogWidget(const FormEvents& events, QWidget* owner, bool waits)
        : QDialog(owner), m_events(events), m_waits(waits)
    {
    }
    void done(int result) override;
    // Whether it only waits, which screen readers hear as busy while it is shown.
    bool Waits() const { return m_waits; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const FormEvents& m_events;
    const bool m_waits;
};

}  // namespace tallyrun
