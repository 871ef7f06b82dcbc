// The common controls the viewer's windows get: version 6, which the
// program's manifest asks for (this test program carries the same manifest).

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq {
namespace {

TEST(ViewerCommonControls, AListViewComesFromTheVersion6Assembly) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    const win32::OwnedWindow list(CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr,
                                                  nullptr, nullptr, nullptr));
    ASSERT_TRUE(list);
    // The library whose code runs the list lies in the side-by-side folder of
    // the assembly the manifest names; without the manifest it is the system
    // folder's version 5. (Wine's library reports 5.81 in both places, so its
    // own version number tells nothing.)
    HMODULE library = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<const wchar_t*>(GetWindowLongPtrW(list.get(), GWLP_WNDPROC)),
                                   &library));
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(library, path.data(), MAX_PATH));
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
    EXPECT_NE(path.find(L"\\winsxs\\"), std::wstring::npos) << win32::narrow(path);
    EXPECT_NE(path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::wstring::npos)
        << win32::narrow(path);
}

}  // namespace
}  // namespace kq
