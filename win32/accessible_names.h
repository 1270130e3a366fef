// Names for screen readers where a control's own text does not name it: text boxes and
// combo boxes show their value, not what they are.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace win32 {

class AccessibleNames
{
public:
    AccessibleNames() = default;
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames &) = delete;
    AccessibleNames &operator=(const AccessibleNames &) = delete;

    // Where the system offers no naming service, controls keep the names it gives them.
    void name(HWND control, std::string_view name);
    // The names go with their windows: called before the windows are destroyed.
    void clear();

private:
    IAccPropServices *m_services = nullptr;
    bool m_tried = false;
    std::vector<HWND> m_named;
};

} // namespace win32
