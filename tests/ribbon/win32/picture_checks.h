#pragma once
// What the ribbon tests check of a picture object and of the temp folder the
// pictures pass through.

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <olectl.h>

#include <string>

#include "common/win32/com.h"

namespace kq::test {

// The size of a picture in pixels at 96 dots per inch, and its type; zeros for no picture.
struct PictureFacts {
    long width = 0;
    long height = 0;
    short type = 0;
    friend bool operator==(const PictureFacts&, const PictureFacts&) = default;
};

inline PictureFacts factsOf(IDispatch* object) {
    if (!object) return {};
    const auto picture = kq::win32::ComPtr<IDispatch>::share(object).as<IPicture>(IID_IPicture);
    if (!picture) return {};
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    short type = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    picture->get_Type(&type);
    return {MulDiv(w, 96, 2540), MulDiv(h, 96, 2540), type};
}

inline PictureFacts factsOf(const VARIANT& v) { return V_VT(&v) == VT_DISPATCH ? factsOf(V_DISPATCH(&v)) : PictureFacts{}; }

// How many files the pictures' temp-file prefix names in the temp folder.
inline int tempFilesNamedKez() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((std::wstring(folder) + L"KEZ*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

}  // namespace kq::test
