#include "win32/accessible_names.h"

#include "win32/wide_text.h"

// The naming service's GUIDs are defined here, from its header, rather than taken from an
// import library.
#include <initguid.h>
#include <oleacc.h>

namespace win32 {

AccessibleNames::~AccessibleNames()
{
    clear();
    if (m_services != nullptr)
        m_services->Release();
}

void AccessibleNames::name(HWND control, std::string_view name)
{
    if (!m_tried) {
        m_tried = true;
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         reinterpret_cast<void **>(&m_services));
    }
    if (m_services == nullptr)
        return;
    if (SUCCEEDED(m_services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                             wide(name).c_str())))
        m_named.push_back(control);
}

void AccessibleNames::clear()
{
    if (m_services == nullptr)
        return;
    MSAAPROPID property = PROPID_ACC_NAME;
    for (const HWND control : m_named)
        m_services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    m_named.clear();
}

} // namespace win32
