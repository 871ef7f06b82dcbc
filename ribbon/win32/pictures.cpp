#include "ribbon/win32/pictures.h"

#include <gdiplus.h>
#include <olectl.h>

#include "common/temp_paths.h"
#include "common/win32/com_boundary.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "ribbon/texts.h"

namespace kq::ribbon::win32 {

namespace {

using kq::win32::ComFailure;

namespace gdip = Gdiplus::DllExports;

// The runtime's "invalid picture".
constexpr HRESULT kInvalidPicture = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 481);

[[noreturn]] void invalidPicture() { throw ComFailure(kInvalidPicture, std::string(texts::kBadPicture)); }

// GDI+ from start-up to shut-down.
class GdiplusSession {
public:
    GdiplusSession() {
        const Gdiplus::GdiplusStartupInput input(nullptr, FALSE, FALSE);
        status_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() {
        if (status_ == Gdiplus::Ok) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return status_ == Gdiplus::Ok; }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_ = Gdiplus::GenericError;
};

// A GDI+ bitmap, disposed of with its owner.
class GdiplusBitmap {
public:
    GdiplusBitmap() = default;
    ~GdiplusBitmap() {
        if (bitmap_) gdip::GdipDisposeImage(bitmap_);
    }
    GdiplusBitmap(const GdiplusBitmap&) = delete;
    GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;
    Gdiplus::GpBitmap** put() { return &bitmap_; }
    Gdiplus::GpBitmap* get() const { return bitmap_; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

// A file that is deleted when its owner goes, on every path.
class TempFile {
public:
    TempFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
    ~TempFile() { files_.removeFile(path_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

private:
    FileSystem& files_;
    std::string path_;
};

PicturePtr LoadPictureGdiPlus(const std::string& path) {
    const GdiplusSession session;
    if (!session.started()) invalidPicture();
    GdiplusBitmap bitmap;
    if (gdip::GdipCreateBitmapFromFile(kq::win32::wide(path).c_str(), bitmap.put()) != Gdiplus::Ok) invalidPicture();
    HBITMAP handle = nullptr;
    // Transparent black where the image has no colour of its own.
    if (gdip::GdipCreateHBITMAPFromBitmap(bitmap.get(), &handle, 0) != Gdiplus::Ok || !handle) {
        const kq::win32::Bitmap leftover(handle);
        invalidPicture();
    }
    return PictureFromBitmapHandle(handle);
}

}  // namespace

IDispatch* detachedDispatch(const PicturePtr& picture) {
    const auto* com = dynamic_cast<const ComPicture*>(picture.get());
    if (!com || !com->dispatch()) return nullptr;
    return kq::win32::ComPtr<IDispatch>::share(com->dispatch()).detach();
}

PicturePtr PictureFromBitmapHandle(HBITMAP bitmap) {
    if (!bitmap) return {};
    kq::win32::Bitmap owned(bitmap);
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    kq::win32::ComPtr<IDispatch> picture;
    const HRESULT result = OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, picture.putVoid());
    if (FAILED(result) || !picture) {
        throw ComFailure(FAILED(result) ? result : E_UNEXPECTED, std::string(texts::kBadPicture));
    }
    // The picture owns the bitmap now.
    owned.release();
    return std::make_shared<ComPicture>(std::move(picture));
}

PicturePtr LoadResPNGPicture(const std::wstring& name, Prompts& prompts, const std::string& title) {
    const auto bytes = kq::win32::moduleResource(L"PNG", name.c_str());
    if (!bytes) throw ComFailure(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), "Resource not found");

    kq::win32::Win32FileSystem files;
    std::string path = TempPaths(files, prompts, title).GetTempFileFullpath("KEZ", "");
    if (path.empty()) throw ComFailure(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "Path not found");
    const TempFile file(files, std::move(path));
    {
        const std::unique_ptr<ByteSink> sink = files.createNew(file.path());
        if (!sink || !sink->write(bytes->data(), bytes->size())) {
            throw ComFailure(HRESULT_FROM_WIN32(ERROR_WRITE_FAULT), "Path/File access error");
        }
    }
    return LoadPictureGdiPlus(file.path());
}

}  // namespace kq::ribbon::win32
