#include "platform/win32/pictures_win32.h"

#include <shlwapi.h>

#include <cstring>
#include <system_error>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/file_stamp.h"
#include "common/picture_scale.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/unique_handle.h"

namespace vt {

namespace {

struct StreamRelease {
    void operator()(IStream* s) const { s->Release(); }
};

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

PicturesWin32::PicturesWin32() = default;

PicturesWin32::~PicturesWin32() {
    if (prefetch_.joinable()) prefetch_.join();
}

void PicturesWin32::Clear() {
    if (prefetch_.joinable()) prefetch_.join();
    fetched_.clear();
    resized_.clear();
    fetchedAdopted_ = true;
    cache_.clear();
}

PicturesWin32::Fetched PicturesWin32::Fetch(const std::string& file, const FileStamp& stamp) {
    Fetched f;
    f.file = file;
    f.stamp = stamp;
    if (!stamp.exists) return f;
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes || bytes->empty()) return f;
    f.picture = DecodeBmpOrIco(*bytes);
    if (!f.picture) f.undecoded = std::move(*bytes);
    return f;
}

PicturesWin32::Entry& PicturesWin32::Keep(Fetched&& f, unsigned long long now) {
    Entry e;
    e.stamp = f.stamp;
    e.checkedAt = now;
    if (f.picture)
        e.picture = std::move(f.picture);
    else if (!f.undecoded.empty())
        e.picture = DecodeWithGdiplus(f.undecoded);
    Entry& slot = cache_[f.file];
    slot = std::move(e);
    return slot;
}

void PicturesWin32::Prefetch(std::vector<std::string> files, DrawnSize drawnSize) {
    if (prefetch_.joinable()) AdoptResized();
    fetchedReady_ = false;
    fetchedAdopted_ = false;
    auto list = std::make_shared<const std::vector<std::string>>(std::move(files));
    auto work = [this, list, drawnSize = std::move(drawnSize)] {
        std::vector<Resized> toResize;
        try {
            for (const std::string& file : *list) {
                fetched_.push_back(Fetch(file, GetFileStamp(file)));
                // A copy: the fetched one is this thread's only until handed over.
                const Fetched& f = fetched_.back();
                if (drawnSize && f.picture) toResize.push_back({f.file, f.stamp, *f.picture});
            }
        } catch (...) {
            LogCaughtException("picture read-ahead");
            // What was not fetched is read when asked for.
        }
        {
            std::lock_guard<std::mutex> hold(fetchedLock_);
            fetchedReady_ = true;
        }
        fetchedSignal_.notify_all();
        // Resizing takes longer than reading: it goes on while the window
        // lays itself out, which needs the pictures' sizes but not the pixels.
        try {
            for (Resized& r : toResize) {
                const auto [w, h] = drawnSize(r.picture.width, r.picture.height);
                if (w <= 0 || h <= 0 || (w == r.picture.width && h == r.picture.height)) continue;
                resized_.push_back({std::move(r.file), r.stamp, ScalePicture(r.picture, w, h)});
            }
        } catch (...) {
            LogCaughtException("picture read-ahead resizing");
            // What was not resized is resized when first drawn.
        }
    };
    try {
        prefetch_ = std::thread(work);
    } catch (const std::system_error&) {
        // No thread to spare (out of memory or handles): the pictures are
        // read here, as they would be when first asked for.
        LogCaughtException("picture read-ahead thread");
        work();
        AdoptResized();
    }
}

void PicturesWin32::AdoptPrefetched() {
    if (fetchedAdopted_) return;
    if (prefetch_.joinable()) {
        std::unique_lock<std::mutex> hold(fetchedLock_);
        fetchedSignal_.wait(hold, [this] { return fetchedReady_; });
    }
    const ULONGLONG now = ::GetTickCount64();
    for (Fetched& f : fetched_)
        if (!cache_.count(f.file)) Keep(std::move(f), now);
    fetched_.clear();
    fetchedAdopted_ = true;
}

void PicturesWin32::AdoptResized() {
    AdoptPrefetched();
    if (prefetch_.joinable()) prefetch_.join();
    for (Resized& r : resized_) {
        auto it = cache_.find(r.file);
        // Made from a file that has changed since: of no use.
        if (it == cache_.end() || !it->second.picture || !(it->second.stamp == r.stamp)) continue;
        const std::pair<int, int> size{r.picture.width, r.picture.height};
        if (it->second.scaled.count(size)) continue;
        Entry::Scaled made;
        if (MakeDib(r.picture, made.owner, made.dib)) it->second.scaled.emplace(size, std::move(made));
    }
    resized_.clear();
}

bool PicturesWin32::StartGdiplus() {
    if (!gdiplus_) gdiplus_ = std::make_unique<GdiplusSession>();
    return gdiplus_->Ok();
}

std::optional<DecodedPicture> PicturesWin32::DecodeWithGdiplus(const std::string& bytes) {
    if (!StartGdiplus()) return std::nullopt;
    // From memory: GDI+ would keep a file open (and locked) for as long as
    // the image lives, and wants a UTF-16 path.
    std::unique_ptr<IStream, StreamRelease> stream(
        ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream) return std::nullopt;
    std::unique_ptr<Gdiplus::Image> image(Gdiplus::Image::FromStream(stream.get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return std::nullopt;
    const UINT w = image->GetWidth(), h = image->GetHeight();
    if (w == 0 || h == 0 || w > kMaxPictureSide || h > kMaxPictureSide) return std::nullopt;
    // Drawn into premultiplied pixels of our own, so the stream can go and
    // every picture is kept in one form whoever decoded it.
    DecodedPicture out;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.pixels.resize(static_cast<size_t>(w) * h);
    Gdiplus::Bitmap target(out.width, out.height, out.width * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(out.pixels.data()));
    if (target.GetLastStatus() != Gdiplus::Ok) return std::nullopt;
    {
        Gdiplus::Graphics g(&target);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (g.DrawImage(image.get(), 0, 0, out.width, out.height) != Gdiplus::Ok) return std::nullopt;
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    for (uint32_t p : out.pixels)
        if ((p >> 24) != 255) {
            out.alpha = true;
            break;
        }
    return out;
}

PicturesWin32::Entry* PicturesWin32::Find(const std::string& file, bool recheck) {
    if (file.empty()) return nullptr;
    if (!fetchedAdopted_) AdoptPrefetched();
    const ULONGLONG now = ::GetTickCount64();
    auto it = cache_.find(file);
    // Painting asks for the same pictures many times a second; looking at the
    // disk each time made every repaint wait for the file system.
    if (it != cache_.end() && !recheck && now - it->second.checkedAt < kRecheckMs) return &it->second;
    const FileStamp stamp = GetFileStamp(file);
    if (it != cache_.end() && it->second.stamp == stamp) {
        it->second.checkedAt = now;
        return &it->second;
    }
    return &Keep(Fetch(file, stamp), now);
}

Gdiplus::Bitmap* PicturesWin32::Get(const std::string& file) {
    Entry* e = Find(file);
    if (!e || !e->picture) return nullptr;
    if (e->bitmap) return e->bitmap.get();
    if (!StartGdiplus()) return nullptr;
    const DecodedPicture& p = *e->picture;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(p.width, p.height, PixelFormat32bppPARGB);
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, p.width, p.height);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < p.height; ++y)
        std::memcpy(static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    &p.pixels[static_cast<size_t>(y) * p.width], static_cast<size_t>(p.width) * 4);
    bitmap->UnlockBits(&data);
    e->bitmap = std::move(bitmap);
    return e->bitmap.get();
}

bool PicturesWin32::MakeDib(const DecodedPicture& p, UniqueHbitmap& owner, Dib& dib) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;  // top-down, as the pixels are kept
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap made(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!made || !bits) {
        LogWin32Failure("CreateDIBSection");
        return false;
    }
    std::memcpy(bits, p.pixels.data(), p.pixels.size() * 4);
    ::GdiFlush();
    dib = Dib{made.get(), p.width, p.height, p.alpha};
    owner = std::move(made);
    return true;
}

const PicturesWin32::Dib* PicturesWin32::GetDib(const std::string& file) {
    Entry* e = Find(file);
    if (!e || !e->picture) return nullptr;
    if (e->dibOwner) return &e->dib;
    if (!MakeDib(*e->picture, e->dibOwner, e->dib)) return nullptr;
    return &e->dib;
}

const PicturesWin32::Dib* PicturesWin32::GetScaledDib(const std::string& file, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    Entry* e = Find(file);
    if (!e || !e->picture) return nullptr;
    if (width == e->picture->width && height == e->picture->height) return GetDib(file);
    auto it = e->scaled.find({width, height});
    if (it == e->scaled.end() && prefetch_.joinable()) {
        // The read-ahead may be making it.
        AdoptResized();
        it = e->scaled.find({width, height});
    }
    if (it != e->scaled.end()) return &it->second.dib;
    Entry::Scaled made;
    if (!MakeDib(ScalePicture(*e->picture, width, height), made.owner, made.dib)) return nullptr;
    return &e->scaled.emplace(std::make_pair(width, height), std::move(made)).first->second.dib;
}

std::optional<PictureSize> PicturesWin32::Probe(const std::string& file) {
    // Probing lays out a skin or a panel: a picture replaced on disk shows then.
    Entry* e = Find(file, true);
    if (!e || !e->picture) return std::nullopt;
    return PictureSize{e->picture->width, e->picture->height};
}

}  // namespace vt
