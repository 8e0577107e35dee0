#include "platform/win32/accessible_control.h"

#include "platform/core/windows/system_message.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>

namespace tallyrun {

// MinGW-w64's oleacc import library takes IID_IAccessible for an imported function, so the interfaces' identifiers
// here are the compiler's (__uuidof).
namespace {

constexpr UINT_PTR SubclassId = 1;

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object with our name, role and added states for the object itself; everything else, its children
// included, is the system's answer. A COM object frees itself with its last reference.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* system, const std::wstring& name, long role, long addedStates)
        : m_system(system), m_name(name), m_role(role), m_addedStates(addedStates)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // What the system's object offers besides, such as walking its children, it offers through its own
        // identity; the marshalling interfaces stay COM's.
        if (iid == __uuidof(IEnumVARIANT) || iid == __uuidof(IOleWindow))
            return m_system->QueryInterface(iid, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            m_system->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child) || m_name.empty())
            return m_system->get_accName(child, name);
        if (!name)
            return E_POINTER;
        *name = ::SysAllocStringLen(m_name.data(), static_cast<UINT>(m_name.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child) || m_role == 0)
            return m_system->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = m_role;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_system->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_system->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return m_system->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        return m_system->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_system->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_system->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return m_system->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return m_system->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return m_system->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT result = m_system->get_accState(child, state);
        if (SUCCEEDED(result) && IsSelf(child) && state && state->vt == VT_I4)
            state->lVal |= m_addedStates;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return m_system->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return m_system->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_system->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_system->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return m_system->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_system->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return m_system->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return m_system->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return m_system->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override
    {
        return m_system->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return m_system->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_system->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_system->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;

    IAccessible* m_system;
    std::wstring m_name;
    long m_role;
    long m_addedStates;
    std::atomic<ULONG> m_references{1};
};

}  // namespace

LRESULT AnswerAccessible(HWND window, WPARAM wParam, LONG object, const std::wstring& name, long role,
                         long addedStates)
{
    IAccessible* system = nullptr;
    if (FAILED(::CreateStdAccessibleObject(window, object, __uuidof(IAccessible), reinterpret_cast<void**>(&system))))
        return 0;
    auto* named = new NamedAccessible(system, name, role, addedStates);
    const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam, named);
    named->Release();
    return result;
}

AccessibleControl::AccessibleControl(HWND control, std::wstring name, long role)
    : m_control(control), m_name(std::move(name)), m_role(role)
{
    if (!::SetWindowSubclass(control, &Procedure, SubclassId, reinterpret_cast<DWORD_PTR>(this)))
        throw LastSystemError("Cannot name a control for screen readers");
}

AccessibleControl::~AccessibleControl()
{
    ::RemoveWindowSubclass(m_control, &Procedure, SubclassId);
}

LRESULT CALLBACK AccessibleControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self)
{
    // OBJID_CLIENT arrives as a 32-bit value in a 64-bit parameter.
    if (message != WM_GETOBJECT || static_cast<LONG>(lParam) != OBJID_CLIENT)
        return ::DefSubclassProc(window, message, wParam, lParam);
    const auto& control = *reinterpret_cast<const AccessibleControl*>(self);
    if (const LRESULT answer = AnswerAccessible(window, wParam, OBJID_CLIENT, control.m_name, control.m_role))
        return answer;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tallyrun
