#include "platform/win32/win32_toolkit.h"

#include "base/error.h"
#include "base/system_message.h"
#include "base/windows/utf16_text.h"
#include "platform/win32/win32_form.h"

namespace tallyrun {

namespace {

Win32Form& OfThisToolkit(ui::Form& form)
{
    auto* win32Form = dynamic_cast<Win32Form*>(&form);
    if (!win32Form)
        throw Error(errc::InvalidArgument, "The window \"" + form.Caption() + "\" is not a Win32 window");
    return *win32Form;
}

}  // namespace

std::unique_ptr<ui::Form> Win32Toolkit::CreateForm(const ui::FormLayout& layout, ui::Form* owner)
{
    return std::make_unique<Win32Form>(layout, owner ? &OfThisToolkit(*owner) : nullptr, m_screen);
}

void Win32Toolkit::MsgBox(ui::Form& owner, const std::string& text, int style, const std::string& title)
{
    const UINT icon = static_cast<UINT>(style) & MB_ICONMASK;
    // Shown with a stand-in for any broken character rather than not at all.
    if (!::MessageBoxW(OfThisToolkit(owner).Handle(), Widen(text, Malformed::Replace).c_str(),
                       Widen(title, Malformed::Replace).c_str(), MB_OK | icon))
        throw LastSystemError("Cannot show the message \"" + text + "\"");
}

}  // namespace tallyrun
