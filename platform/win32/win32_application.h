// The Win32 application of the programme: the common controls, the COM apartment through which screen readers
// reach the controls, and the message loop that runs while a top-level window is open.
#pragma once

namespace tallyrun {

class Win32Application {
public:
    // Made before any form.
    Win32Application();
    ~Win32Application();
    Win32Application(const Win32Application&) = delete;
    Win32Application& operator=(const Win32Application&) = delete;

    // Runs the message loop until the last top-level window has been unloaded, at once when none is open, or
    // until WM_QUIT, whose exit code it returns.
    int Exec();

private:
    bool m_apartment;
};

}  // namespace tallyrun
