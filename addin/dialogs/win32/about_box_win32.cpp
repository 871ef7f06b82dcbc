#include "addin/dialogs/win32/about_box_win32.h"

#include <olectl.h>

#include "addin/core/texts.h"
#include "common/win32/com.h"
#include "common/win32/form_window.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;
namespace design = about_design;
namespace ids = about_ids;

constexpr DWORD kLabel = WS_VISIBLE | SS_NOPREFIX;
// The address looks as a link does.
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
// The logo among the library's resources.
constexpr wchar_t kLogoType[] = L"GIF";
constexpr wchar_t kLogoName[] = L"ABOUT_LOGO";

// The logo drawn on the face colour at `size` pixels, its transparent pixels
// showing the face; empty when it cannot be read or drawn. The OLE picture
// reads GIF files, transparency included, on every Windows.
Bitmap logoBitmap(SIZE size) {
    const auto gif = moduleResource(kLogoType, kLogoName);
    if (!gif) return {};
    // The stream reads the block, so the block outlives it.
    const GlobalMemory block = globalCopy(gif->data(), gif->size());
    ComPtr<IStream> stream;
    if (!block || FAILED(CreateStreamOnHGlobal(block.get(), FALSE, stream.put()))) return {};
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(gif->size()), FALSE, IID_IPicture, picture.putVoid()))) {
        return {};
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    const WindowDc screen = windowDc(nullptr);
    Bitmap bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    const DeviceContext dc = memoryDc(screen.get());
    {
        const Selection use = selectObject(dc.get(), bitmap.get());
        if (!use) return {};
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
        // The picture's rows run upwards in its own units.
        if (FAILED(picture->Render(dc.get(), 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr))) return {};
    }
    return bitmap;
}

class frmAbout final : public Form {
public:
    frmAbout(const AboutTexts& texts, const std::function<void(const std::string&)>& openAddress)
        : texts_(texts), openAddress_(openAddress) {}

    void show(HWND owner) { showModal(owner, wide(texts_.caption), design::kClientWidth, design::kClientHeight); }

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void lblURL_Click() {
        if (openAddress_) openAddress_(texts_.url);
    }

    const AboutTexts& texts_;
    const std::function<void(const std::string&)>& openAddress_;
    HWND lblURL_ = nullptr;
    Font linkFont_;
    Bitmap logo_;
};

bool frmAbout::OnLoad() {
    addControl(hwnd(), L"STATIC", std::string(texts::kAboutProduct), kLabel, design::Label2);
    addControl(hwnd(), L"STATIC", std::string(texts::kAboutVersion), kLabel, design::Label4);
    addControl(hwnd(), L"STATIC", texts_.version, kLabel, design::lblVersion, ids::lblVersion);
    addControl(hwnd(), L"STATIC", std::string(texts::kAboutUpdate), kLabel, design::Label5);
    addControl(hwnd(), L"STATIC", texts_.day, kLabel, design::lblDay, ids::lblDay);
    const HWND picture = createPanel(hwnd(), pixels(design::Picture1), ids::Picture1, WS_EX_CLIENTEDGE);
    if (!picture) return false;
    addControl(picture, L"STATIC", std::string(texts::kAboutUrl), kLabel, design::Label1);
    lblURL_ = addControl(picture, L"STATIC", texts_.url, kLabel | SS_NOTIFY, design::lblURL, ids::lblURL);
    // Without its logo the box still tells what it has to tell.
    const HWND image = addControl(picture, L"STATIC", "", WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, design::Image2,
                                  ids::Image2);
    const RECT imageAt = pixels(design::Image2);
    logo_ = logoBitmap({imageAt.right - imageAt.left, imageAt.bottom - imageAt.top});
    if (image && logo_) SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
    const HWND ok =
        addControl(hwnd(), L"BUTTON", std::string(texts::kOk), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, design::cmdOK, IDOK);
    if (!lblURL_ || !ok) return false;
    LOGFONTW lf{};
    GetObjectW(font(), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    linkFont_ = Font(CreateFontIndirectW(&lf));
    if (linkFont_) SendMessageW(lblURL_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    return true;
}

bool frmAbout::OnCommand(int id, UINT code, HWND) {
    if (id == ids::lblURL && code == STN_CLICKED) {
        lblURL_Click();
        return true;
    }
    if (id == IDOK || id == IDCANCEL) {
        end(id);
        return true;
    }
    return false;
}

std::optional<LRESULT> frmAbout::OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_CTLCOLORSTATIC || reinterpret_cast<HWND>(lParam) != lblURL_) return std::nullopt;
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

void ShowAboutBox(HWND owner, const AboutTexts& texts, const std::function<void(const std::string&)>& openAddress) {
    frmAbout form(texts, openAddress);
    form.show(owner);
}

}  // namespace kq::addin::dialogs::win32
