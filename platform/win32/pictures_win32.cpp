#include "platform/win32/pictures_win32.h"

#include <shlwapi.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "platform/win32/unique_handle.h"

namespace vt {

namespace {

struct StreamRelease {
    void operator()(IStream* s) const { s->Release(); }
};

// last-write time and size; 0/0 when the file cannot be examined.
std::pair<long long, unsigned long long> FileStamp(const std::string& file) {
    std::error_code ec;
    auto p = PathFromUtf8(file);
    auto t = std::filesystem::last_write_time(p, ec);
    if (ec) return {0, 0};
    auto size = std::filesystem::file_size(p, ec);
    if (ec) return {0, 0};
    return {static_cast<long long>(t.time_since_epoch().count()), size};
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

PicturesWin32::PicturesWin32() = default;

// The cache holds GDI+ objects; they must go before the session shuts down,
// which the member order (gdiplus_ first) guarantees.
PicturesWin32::~PicturesWin32() = default;

std::unique_ptr<Gdiplus::Bitmap> PicturesWin32::Load(const std::string& file) {
    // Read the bytes ourselves: GDI+ would keep the file open (and locked)
    // for as long as the image lives, and wants a UTF-16 path.
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes || bytes->empty()) return nullptr;
    std::unique_ptr<IStream, StreamRelease> stream(
        ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes->data()), static_cast<UINT>(bytes->size())));
    if (!stream) return nullptr;
    std::unique_ptr<Gdiplus::Image> image(Gdiplus::Image::FromStream(stream.get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    UINT w = image->GetWidth();
    UINT h = image->GetHeight();
    if (w == 0 || h == 0 || w > 16384 || h > 16384) return nullptr;
    // Decode once into a plain bitmap so the stream can go and drawing is fast.
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppPARGB);
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    {
        Gdiplus::Graphics g(bitmap.get());
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (g.DrawImage(image.get(), 0, 0, static_cast<INT>(w), static_cast<INT>(h)) != Gdiplus::Ok) return nullptr;
    }
    return bitmap;
}

Gdiplus::Bitmap* PicturesWin32::Get(const std::string& file) {
    if (file.empty() || !gdiplus_.Ok()) return nullptr;
    auto [stamp, size] = FileStamp(file);
    auto it = cache_.find(file);
    if (it != cache_.end() && it->second.stamp == stamp && it->second.size == size) return it->second.bitmap.get();
    Entry e;
    e.stamp = stamp;
    e.size = size;
    if (stamp != 0 || size != 0) e.bitmap = Load(file);
    auto& slot = cache_[file];
    slot = std::move(e);
    return slot.bitmap.get();
}

const PicturesWin32::Dib* PicturesWin32::GetDib(const std::string& file) {
    Gdiplus::Bitmap* bitmap = Get(file);
    if (!bitmap) return nullptr;
    Entry& e = cache_[file];
    if (e.dibOwner) return &e.dib;
    int w = static_cast<int>(bitmap->GetWidth());
    int h = static_cast<int>(bitmap->GetHeight());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, rows in the order GDI+ gives them
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) {
        LogWin32Failure("CreateDIBSection");
        return nullptr;
    }
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return nullptr;
    bool alpha = false;
    auto* dst = static_cast<uint8_t*>(bits);
    for (int y = 0; y < h; ++y) {
        const auto* src = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        std::memcpy(dst + static_cast<size_t>(y) * w * 4, src, static_cast<size_t>(w) * 4);
        for (int x = 0; x < w && !alpha; ++x)
            alpha = src[x * 4 + 3] != 255;
    }
    bitmap->UnlockBits(&data);
    e.dib = Dib{dib.get(), w, h, alpha};
    e.dibOwner = std::move(dib);
    return &e.dib;
}

std::optional<PictureSize> PicturesWin32::Probe(const std::string& file) {
    Gdiplus::Bitmap* b = Get(file);
    if (!b) return std::nullopt;
    return PictureSize{static_cast<int>(b->GetWidth()), static_cast<int>(b->GetHeight())};
}

}  // namespace vt
