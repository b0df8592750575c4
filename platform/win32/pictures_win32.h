// Picture files loaded once and kept by path. Any format GDI+ reads (bitmap,
// GIF, JPEG, PNG, icon, metafile) is accepted whatever the extension: skin
// pictures are all named *.img. Bitmaps and icons are decoded without GDI+,
// which is started only when a picture needs it or a caller wants a GDI+
// bitmap: starting it and its codecs doubled the launcher's start-up.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/file_stamp.h"
#include "common/picture_decode.h"
#include "platform/pictures.h"
#include "platform/win32/gdiplus_inc.h"
#include "platform/win32/unique_handle.h"

namespace vt {

// Keeps GDI+ started for as long as one instance lives.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

class PicturesWin32 : public Pictures {
public:
    PicturesWin32();
    ~PicturesWin32() override;

    std::optional<PictureSize> Probe(const std::string& file) override;

    // The picture as a GDI+ bitmap (32-bit premultiplied, natural size in
    // pixels), or nullptr when the file is missing or not a picture. A file
    // that changed on disk since it was loaded is loaded again (noticed at
    // the next Probe, or within a second).
    Gdiplus::Bitmap* Get(const std::string& file);
    void Clear();

    // Reads and decodes `files` on a worker thread, so that pictures wanted
    // soon (a skin's, while the system creates the window) are ready when
    // asked for. Whatever is asked for first waits for the worker. With
    // `drawnSize`, the worker then also resizes each picture to the size it
    // gives for the picture's own (a screen of more than 96 dpi), ready for
    // GetScaledDib; only asking for a resized picture waits for that part.
    using DrawnSize = std::function<std::pair<int, int>(int width, int height)>;
    void Prefetch(std::vector<std::string> files, DrawnSize drawnSize = nullptr);

    // The same picture as a 32-bit premultiplied DIB section for BitBlt /
    // AlphaBlend; `alpha` is false when every pixel is opaque (plain BitBlt
    // then keeps colours exact, which the window's colour key relies on).
    struct Dib {
        HBITMAP bitmap = nullptr;
        int width = 0;
        int height = 0;
        bool alpha = false;
    };
    const Dib* GetDib(const std::string& file);
    // The picture resized to width x height pixels for a screen of more than
    // 96 dpi (see ScalePicture; the window's see-through colour stays exact).
    // Made once per size and kept until the file changes; the natural size
    // is the picture itself.
    const Dib* GetScaledDib(const std::string& file, int width, int height);

private:
    struct Entry {
        std::optional<DecodedPicture> picture;    // empty: unreadable
        std::unique_ptr<Gdiplus::Bitmap> bitmap;  // made on first Get
        UniqueHbitmap dibOwner;                   // made on first GetDib
        Dib dib;
        struct Scaled {
            UniqueHbitmap owner;
            Dib dib;
        };
        std::map<std::pair<int, int>, Scaled> scaled;  // by width, height
        FileStamp stamp;
        unsigned long long checkedAt = 0;  // GetTickCount64 of the last look at the disk
    };
    struct Fetched {
        std::string file;
        FileStamp stamp;
        std::optional<DecodedPicture> picture;
        std::string undecoded;  // bytes left for GDI+, which stays on this thread
    };
    struct Resized {
        std::string file;
        FileStamp stamp;  // of the file it was made from
        DecodedPicture picture;
    };
    // Reads and decodes what needs no GDI+; safe on any thread.
    static Fetched Fetch(const std::string& file, const FileStamp& stamp);
    // Caches what was fetched, decoding with GDI+ what needs it (this thread).
    Entry& Keep(Fetched&& f, unsigned long long now);
    // The entry of `file`, loaded again when the file changed on disk. Unless
    // `recheck`, a file looked at less than kRecheckMs ago is not looked at again.
    static constexpr unsigned long long kRecheckMs = 1000;
    Entry* Find(const std::string& file, bool recheck = false);
    static bool MakeDib(const DecodedPicture& p, UniqueHbitmap& owner, Dib& dib);
    bool StartGdiplus();
    void AdoptPrefetched();
    void AdoptResized();
    std::optional<DecodedPicture> DecodeWithGdiplus(const std::string& bytes);

    // Declared before the cache: GDI+ objects must go before GDI+ shuts down.
    std::unique_ptr<GdiplusSession> gdiplus_;
    std::map<std::string, Entry> cache_;

    // The worker's until it says `fetchedReady_` (and never again after).
    std::vector<Fetched> fetched_;
    bool fetchedReady_ = false;
    bool fetchedAdopted_ = true;
    std::vector<Resized> resized_;  // the worker's until it is joined
    std::mutex fetchedLock_;
    std::condition_variable fetchedSignal_;
    std::thread prefetch_;
};

}  // namespace vt
