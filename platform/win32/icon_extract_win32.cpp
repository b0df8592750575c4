#include "platform/win32/icon_extract_win32.h"

#include "common/text.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/colour.h"
#include "platform/win32/gdiplus_inc.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

struct StreamRelease {
    void operator()(IStream* s) const { s->Release(); }
};

}  // namespace

UniqueHicon ExtractIconFromFile(const std::string& file, int index, int size) {
    if (file.empty() || index < 0) return UniqueHicon();
    std::wstring wide = Widen(file);
    if (size > 0 && size != ::GetSystemMetrics(SM_CXICON)) {
        // Also by position; picks the file's image nearest the size asked for.
        HICON sized = nullptr;
        UINT id = 0;
        const UINT got = ::PrivateExtractIconsW(wide.c_str(), index, size, size, &sized, &id, 1, 0);
        if (got == 1 && sized) return UniqueHicon(sized);
    }
    HICON large = nullptr;
    // ExtractIconEx reads icon groups by position, which is what the index
    // of a DefaultIcon value and of the editor's arrows means.
    UINT got = ::ExtractIconExW(wide.c_str(), index, &large, nullptr, 1);
    if (got == 0 || got == UINT_MAX || !large) return UniqueHicon();
    return UniqueHicon(large);
}

UniqueHicon LoadIconAtSize(HINSTANCE module, int id, int size) {
    HICON icon = nullptr;
    // Scales a larger image down with a proper filter where LoadImage would
    // take the nearest size, even a smaller one, and stretch it. Only the
    // version 6 common controls have it (looked up by name: the import
    // library of the toolchain lacks it).
    using Fn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const Fn scaleDown = [] {
        HMODULE controls = ::LoadLibraryW(L"comctl32.dll");
        return controls
                   ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(controls, "LoadIconWithScaleDown")))
                   : nullptr;
    }();
    if (scaleDown && SUCCEEDED(scaleDown(module, MAKEINTRESOURCEW(id), size, size, &icon)) && icon)
        return UniqueHicon(icon);
    return UniqueHicon(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

int CountIconsInFile(const std::string& file) {
    if (file.empty()) return 0;
    std::wstring wide = Widen(file);
    UINT n = ::ExtractIconExW(wide.c_str(), -1, nullptr, nullptr, 0);
    return n == UINT_MAX ? 0 : static_cast<int>(n);
}

IconCanvas::IconCanvas(int size, uint32_t back) : size_(size > 0 ? size : 32), back_(back) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size_;
    bi.bmiHeader.biHeight = size_;  // bottom-up, as a .bmp file stores its rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    Clear();
}

void IconCanvas::Clear() {
    drawn_ = false;
    if (!bitmap_) return;
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectRestorer sel(dc.get(), bitmap_.get());
    UniqueHbrush brush(::CreateSolidBrush(ColorrefOf(back_)));
    RECT all{0, 0, size_, size_};
    ::FillRect(dc.get(), &all, brush.get());
}

bool IconCanvas::DrawIcon(HICON icon) {
    if (!icon || !bitmap_) return false;
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectRestorer sel(dc.get(), bitmap_.get());
    // At the icon's own size, like DrawIcon: a 48-pixel icon is clipped, not shrunk.
    if (!::DrawIconEx(dc.get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE)) return false;
    ::GdiFlush();
    drawn_ = true;
    return true;
}

bool IconCanvas::DrawIconOf(const std::string& file, int index) {
    UniqueHicon icon = ExtractIconFromFile(file, index);
    return DrawIcon(icon.get());
}

bool IconCanvas::DrawBitmap(Gdiplus::Bitmap* bitmap) {
    if (!bitmap || !bitmap_) return false;
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectRestorer sel(dc.get(), bitmap_.get());
    Gdiplus::Graphics g(dc.get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    auto w = static_cast<INT>(bitmap->GetWidth());
    auto h = static_cast<INT>(bitmap->GetHeight());
    if (g.DrawImage(bitmap, 0, 0, w, h) != Gdiplus::Ok) return false;
    g.Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
    drawn_ = true;
    return true;
}

bool IconCanvas::DrawPictureFile(const std::string& file) {
    if (file.empty() || !bitmap_) return false;
    if (EndsWith(AsciiLower(file), ".cur")) {
        std::wstring wide = Widen(file);
        auto cursor = static_cast<HICON>(::LoadImageW(nullptr, wide.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
        if (!cursor) return false;
        bool ok = DrawIcon(cursor);
        ::DestroyCursor(cursor);
        return ok;
    }
    GdiplusSession session;  // counted by GDI+; cheap when the program already runs one
    if (!session.Ok()) return false;
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes || bytes->empty()) return false;
    std::unique_ptr<IStream, StreamRelease> stream(
        ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes->data()), static_cast<UINT>(bytes->size())));
    if (!stream) return false;
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return false;
    bool ok = DrawBitmap(image.get());
    image.reset();
    return ok;
}

std::string IconCanvas::ToBmpBytes() const {
    if (!bitmap_ || !bits_) return {};
    ::GdiFlush();
    const size_t stride = (static_cast<size_t>(size_) * 3 + 3) & ~size_t{3};
    const size_t image = stride * static_cast<size_t>(size_);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + image);
    ih.biSize = sizeof(ih);
    ih.biWidth = size_;
    ih.biHeight = size_;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = static_cast<DWORD>(image);
    ih.biXPelsPerMeter = ih.biYPelsPerMeter = 3780;  // 96 dpi
    std::string out;
    out.reserve(fh.bfSize);
    out.append(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
    out.append(static_cast<const char*>(bits_), image);
    return out;
}

}  // namespace vt
