#pragma once
// What the ribbon tests check of a picture object and of the temp folder the
// pictures pass through.

#include <ole2.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "common/win32/com.h"
#include "common/win32/windows_api.h"

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

inline PictureFacts factsOf(const VARIANT& v) {
    return V_VT(&v) == VT_DISPATCH ? factsOf(V_DISPATCH(&v)) : PictureFacts{};
}

// A temp folder of this program's own while it lives: other programs of the
// test run make temp files of the same prefix at the same time.
class PrivateTempFolder {
public:
    PrivateTempFolder() {
        wchar_t shared[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, shared);
        folder_ = std::wstring(shared) + L"kq_ribbon_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH + 1] = {};
            const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH + 1);
            saved_.push_back(length > 0 && length <= MAX_PATH ? std::wstring(value, length) : std::wstring());
            SetEnvironmentVariableW(name, folder_.c_str());
        }
    }
    ~PrivateTempFolder() {
        const wchar_t* names[] = {L"TMP", L"TEMP"};
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            SetEnvironmentVariableW(names[i], saved_[i].empty() ? nullptr : saved_[i].c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

private:
    std::wstring folder_;
    std::vector<std::wstring> saved_;
};

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
